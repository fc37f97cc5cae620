// The single-instance rule: the first process to create the named mutex runs
// the tool window; every later one hands its file over.
#pragma once

#include "common/win_handle.h"

// Creates (or opens) the named mutex without owning it, holding it in mutex.
// True when it already existed: another instance runs. Decided from the
// create call's own result, so two processes started at the same moment can
// never both be first.
bool AnotherInstanceHolds(const char* mutexName, UniqueHandle& mutex);
