/* Keeps the full contents of every top-level X window in off-screen storage
 * (automatic Composite redirection), as a compositing desktop does. Without it
 * a headless Xvfb keeps no pixels of covered windows, and a see-through overlay
 * that copies the windows beneath it would copy black. Runs until killed. */
#include <X11/Xlib.h>
#include <X11/extensions/Xcomposite.h>
#include <stdio.h>
#include <unistd.h>

int main(void)
{
    /* The X server may still be starting: give it a few seconds. */
    Display* display = XOpenDisplay(NULL);
    for (int tries = 0; !display && tries < 100; ++tries) {
        usleep(100000);
        display = XOpenDisplay(NULL);
    }
    int event_base, error_base;
    if (!display) {
        fprintf(stderr, "xredirect: cannot open the display\n");
        return 1;
    }
    if (!XCompositeQueryExtension(display, &event_base, &error_base)) {
        fprintf(stderr, "xredirect: the display has no Composite extension\n");
        return 1;
    }
    XCompositeRedirectSubwindows(display, DefaultRootWindow(display), CompositeRedirectAutomatic);
    XSync(display, False);
    for (;;)
        pause();
}
