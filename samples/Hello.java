// A program that compiles: prints a greeting.
public class Hello {
    public static void main(String[] args) {
        System.out.println("こんにちは、Pellaro!");
    }
}
