package demo.shapes;

import java.util.List;
import java.util.function.Function;

/** Shapes of today's Java: sealed types, records, enums, text blocks. */
@SuppressWarnings({"unused", "rawtypes"})
public sealed interface Shapes permits Shapes.Circle, Shapes.Square, Shapes.Group {
  double area();

  record Circle(double radius) implements Shapes {
    public Circle {
      if (radius < 0) throw new IllegalArgumentException("radius " + radius);
    }
    public double area() { return Math.PI * radius * radius; }
  }

  record Square(@Deprecated(since = "1") double side, List<Map<String, Integer>> tags)
      implements Shapes {
    static Square unit() { return new Square(1, List.of()); }
    public double area() { return side * side; }
  }

  non-sealed class Group<T extends Comparable<T>> implements Shapes {
    private final List<Shapes> members = new java.util.ArrayList<>();
    private int count, limit = 10, spare;
    private final Function<Shapes, Double> measure = s -> {
      double total = 0;
      return total + s.area();
    };
    private final Runnable hook = new Runnable() {
      int hidden;
      public void run() { hidden++; }
    };
    static final String HELP = """
        Group of shapes: "quoted", a brace {, a switch
        and a comment /* that is text */ }
        """;
    char quote = '"';
    char brace = '{';

    public <R> R fold(R start, java.util.function.BinaryOperator<R> op) { return start; }

    public double area() {
      var sum = 0.0;
      for (Shapes s : members) {
        sum += switch (s) {
          case Circle c when c.radius() > 1 -> c.area();
          case Square q -> { yield q.area(); }
          default -> 0;
        };
      }
      return sum;
    }

    enum Mode {
      FAST("f") {
        @Override String label() { return "fast"; }
      },
      @Deprecated SLOW("s"),
      OFF;

      private final String code;
      Mode() { this("-"); }
      Mode(String code) { this.code = code; }
      String label() { return code; }
    }

    class Node {
      Node next;
      interface Visitor { void visit(Node n); }
    }
  }

  @interface Marker {
    String value() default "x";
    int[] sizes() default {1, 2};
  }

  static Shapes parse(String text) { return new Circle(Double.parseDouble(text)); }
}

enum Colour { RED, GREEN, BLUE }

record Pair<A, B>(A first, B second) {}
