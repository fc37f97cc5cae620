// A program in the package app: Main uses Util of the same package.
// パッケージ app のプログラムです。javac と java はフォルダ app の上で動きます。
package app;

public class Main {
    public static void main(String[] args) {
        System.out.println(Util.greeting("Pellaro"));
    }
}
