// Starts a program and prints the milliseconds from its start until it maps a
// top-level window whose title holds the given text (any title when the text is
// empty), then kills it: the whole process measured from outside, as a user sees
// it, on the X server of $DISPLAY. Used by bench/startup-report.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static xcb_connection_t* c;
static xcb_atom_t netName, utf8;

static xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), NULL);
    xcb_atom_t a = r ? r->atom : XCB_NONE;
    free(r);
    return a;
}

static int Titled(xcb_window_t w, const char* text) {
    if (!*text)
        return 1;
    xcb_atom_t names[2] = {netName, XCB_ATOM_WM_NAME};
    for (int i = 0; i < 2; ++i) {
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            c, xcb_get_property(c, 0, w, names[i], XCB_GET_PROPERTY_TYPE_ANY, 0, 4096), NULL);
        int found = 0;
        if (r) {
            int n = xcb_get_property_value_length(r);
            char* v = strndup((const char*)xcb_get_property_value(r), n);
            found = strstr(v, text) != NULL;
            free(v);
            free(r);
        }
        if (found)
            return 1;
    }
    return 0;
}

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fputs("usage: startup-probe TITLE PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const char* title = argv[1];
    // A server still closing the last run's connection may turn one away.
    for (int tries = 0; tries < 100; ++tries) {
        c = xcb_connect(NULL, NULL);
        if (!xcb_connection_has_error(c))
            break;
        xcb_disconnect(c);
        usleep(10000);
    }
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "startup-probe: no X display (%d)\n", xcb_connection_has_error(c));
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    netName = Atom("_NET_WM_NAME");
    utf8 = Atom("UTF8_STRING");
    uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    const double start = Now();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    enum { Max = 256 };
    xcb_window_t mapped[Max];
    int nmapped = 0, done = 0;
    xcb_generic_event_t* e;
    while (!done && (e = xcb_wait_for_event(c))) {
        switch (e->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            xcb_create_notify_event_t* ev = (xcb_create_notify_event_t*)e;
            uint32_t m = XCB_EVENT_MASK_PROPERTY_CHANGE;
            if (!ev->override_redirect)
                xcb_change_window_attributes(c, ev->window, XCB_CW_EVENT_MASK, &m);
            xcb_flush(c);
            break;
        }
        case XCB_MAP_NOTIFY: {
            xcb_map_notify_event_t* ev = (xcb_map_notify_event_t*)e;
            if (ev->override_redirect || ev->event != root)
                break;
            if (nmapped < Max)
                mapped[nmapped++] = ev->window;
            done = Titled(ev->window, title);
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            xcb_property_notify_event_t* ev = (xcb_property_notify_event_t*)e;
            for (int i = 0; i < nmapped && !done; ++i)
                if (mapped[i] == ev->window)
                    done = Titled(ev->window, title);
            break;
        }
        }
        free(e);
    }
    const double elapsed = Now() - start;
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    if (!done)
        return 1;
    printf("%.2f\n", elapsed);
    return 0;
}
