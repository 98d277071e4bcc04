/*
 * A small clock applet: draws the time and redraws once a second.
 * "quoted */ text" in a comment must not confuse the reader.
 */
package demo.clock;

import java.applet.Applet;
import java.awt.*;
import java.util.Date; // trailing comment
import static java.lang.Math.max;

/** The applet itself. */
public class Clock extends Applet implements Runnable, java.io.Serializable {
  private Thread ticker;
  private int width = 120, height;
  protected static final String[] NAMES = {"one", "two", "three"};
  char open = '{';
  char quote = '"';
  String braces = "}}}\"{";
  java.util.Map<String, Integer> counts;
  Runnable later = new Runnable() {
    public void run() {
      repaint();
    }
  };

  @Override
  public void init() {
    ticker = new Thread(this);
    if (width > 0) {
      height = max(width, 10);
    }
  }

  public void start() throws IllegalStateException, SecurityException {
    ticker.start();
  }

  @SuppressWarnings("deprecation")
  public void run()
  {
    while (true) {
      try { Thread.sleep(1000); } catch (InterruptedException e) { return; }
      repaint();
    }
  }

  public <T extends Comparable<T>> T larger(T a, T b) {
    return a.compareTo(b) > 0 ? a : b;
  }

  abstract void stop(int code);

  public void paint(Graphics g) {
    g.drawString(new Date().toString(), 10, 20);
  }
}

interface Ticking extends Runnable {
  int RATE = 1000;
  void tick();
}
