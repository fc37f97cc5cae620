// A program that compiles: prints a greeting.
// 挨拶を表示するプログラムです。Shift_JIS で保存してあります (メモ帳の ANSI)。
public class Hello {
    public static void main(String[] args) {
        System.out.println("こんにちは、Pellaro!");
    }
}
