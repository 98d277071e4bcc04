import java.util.ArrayList;
import java.util.List;

/**
 * A small program to try Tamso with: compile it, run it, break it on purpose
 * and double-click the compiler's message to land on the line.
 */
public class Hello {
    private final List<String> names = new ArrayList<>();
    private int greeted = 0;

    public Hello(String... people) {
        for (String p : people) {
            names.add(p);
        }
    }

    public String greeting(String name) {
        return "Hello, " + name + "!";
    }

    public void greetAll() {
        for (String n : names) {
            System.out.println(greeting(n));
            greeted++;
        }
        System.out.println(greeted + " greeted");
    }

    public static void main(String[] args) {
        Hello hello = args.length > 0 ? new Hello(args) : new Hello("world");
        hello.greetAll();
    }
}
