// The one X error the backend tolerates, provoked directly: a message sent to a window
// that is already gone. Anything else must still reach the handler that was there before.

#include "platform/sdl/native_window.h"
#include "tests/display/x_session.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

int last_request_seen = 0;

int note_error(Display*, XErrorEvent* error) {
    last_request_seen = error->request_code;
    return 0;
}

void send_client_message(Display* d, Window w) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = w;
    message.xclient.format = 32;
    XSendEvent(d, w, False, NoEventMask, &message);
    XSync(d, False);
}

TEST(X11Errors, AMessageToAGoneWindowIsIgnoredAndOtherErrorsPassOn) {
    xtest::XSession session(false);
    Display* d = XOpenDisplay(session.display_name().c_str());
    ASSERT_NE(d, nullptr);
    const Window gone = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 8, 8, 0, 0, 0);
    XDestroyWindow(d, gone);
    XSync(d, False);

    XErrorHandler original = XSetErrorHandler(&note_error);
    {
        platform::native::WakeupErrorFilter filter;
        send_client_message(d, gone);
        EXPECT_EQ(last_request_seen, 0);
        XMapWindow(d, gone);
        XSync(d, False);
        EXPECT_EQ(last_request_seen, X_MapWindow);
    }
    last_request_seen = 0;
    send_client_message(d, gone);
    EXPECT_EQ(last_request_seen, X_SendEvent) << "the filter outlived its owner";
    XSetErrorHandler(original);
    XCloseDisplay(d);
}

} // namespace
