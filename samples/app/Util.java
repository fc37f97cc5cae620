// The helper class of the package app.
// パッケージ app の補助クラスです。
package app;

class Util {
    static String greeting(String name) {
        return "パッケージ app から、こんにちは " + name + "!";
    }
}
