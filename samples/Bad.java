// A program with a compile error: the statement on line 4 lacks its semicolon.
public class Bad {
    public static void main(String[] args) {
        System.out.println("missing semicolon")
    }
}
