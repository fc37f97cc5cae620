// Reading javac's output for errors.
#include "java/compile_error.h"

#include <algorithm>
#include <vector>

#include "common/dbcs_text.h"
#include "common/file_paths.h"

namespace {

const char kErrorWord[] = "error";
const char kJapaneseErrorWord[] = "エラー";

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether word stands in text at offset i, a character boundary. Walking
// word by characters keeps both in step: a lead byte is never an ASCII
// letter, so a single-byte character only ever meets a single-byte one.
bool StandsAt(const std::string& text, std::size_t i, const std::string& word, bool ignoreCase) {
  if (word.empty() || text.size() - i < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); k += CharLengthAt(word, k)) {
    if (CharLengthAt(word, k) == 2) {
      if (text[i + k] != word[k] || text[i + k + 1] != word[k + 1]) return false;
    } else if (ignoreCase ? FoldAscii(text[i + k]) != FoldAscii(word[k]) : text[i + k] != word[k]) {
      return false;
    }
  }
  return true;
}

// How javac and the interpreter show the source file: its full path, its
// folder (without the trailing backslash) and its name. The folder's letter
// case may differ between the editor's path and what they show, so these are
// matched without case.
std::vector<std::string> OwnNames(const std::string& sourcePath, const std::string& toolFolder) {
  std::vector<std::string> names = {sourcePath, WithoutTrailingBackslash(DirectoryOf(sourcePath)),
                                    FileNameOf(sourcePath)};
  // A package's root, and the source's path from there as javac shows it.
  if (!toolFolder.empty() && sourcePath.compare(0, toolFolder.size(), toolFolder) == 0) {
    names.push_back(WithoutTrailingBackslash(toolFolder));
    names.push_back(sourcePath.substr(toolFolder.size()));
  }
  names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return names;
}

}  // namespace

bool ReportsCompileError(const std::string& text, const std::string& sourcePath,
                         const std::string& toolFolder) {
  const std::vector<std::string> ownNames = OwnNames(sourcePath, toolFolder);
  std::size_t i = 0;
  while (i < text.size()) {
    auto own = std::find_if(ownNames.begin(), ownNames.end(),
                            [&](const std::string& name) { return StandsAt(text, i, name, true); });
    if (own != ownNames.end()) {
      i += own->size();
      continue;
    }
    if (StandsAt(text, i, kErrorWord, false) || StandsAt(text, i, kJapaneseErrorWord, false))
      return true;
    i += CharLengthAt(text, i);
  }
  return false;
}
