// Keys held when the window loses the keyboard: their releases go elsewhere,
// so the program must let go of them itself.
#include "platform/x11/focus.h"
#include "platform/platform.h"
#include "tests/platform/keyboard_fixture.h"
#include "tests/support/gl_program.h"
#include "tests/support/program.h"

namespace {

// Another window to take the focus, beside the program's 1280 x 720 one.
constexpr int OTHER_X = 1300;      // root-window pixels
constexpr int OTHER_Y = 800;
constexpr int OTHER_SIZE = 100;    // pixels
// Window pixel at the middle of the program's window.
constexpr int MIDDLE_X = 640;
constexpr int MIDDLE_Y = 360;

WindowId createOtherWindow(XDriver& driver)
{
    return driver.createWindow(OTHER_X, OTHER_Y, OTHER_SIZE, OTHER_SIZE);
}

// Read the key state (without handling any toolkit event, so no key release
// can come in) until nothing reads held; false if that does not happen in
// the bounded wait.
bool waitForAllReleasedWithoutEvents()
{
    return pollUntil([] { return getKeyState('W') == 0 && getKeyState(VK_UP) == 0; },
                     WAIT_MS);
}

} // namespace

class FocusTest : public KeyboardTest {
protected:
    void holdWAndUp()
    {
        press("w");
        press("Up");
        ASSERT_TRUE(waitForKey('W', true));
        ASSERT_TRUE(waitForKey(VK_UP, true));
    }

    // After the keys went up elsewhere and the window has the focus back,
    // they stay released, and a new press is seen as usual.
    void expectCleanReturn()
    {
        release("Up");
        release("w");
        driver().focus(programWindow());
        settleEvents();
        EXPECT_TRUE(heldCodes().empty());
        press("w");
        EXPECT_TRUE(waitForKey('W', true)) << "keys no longer reach the program";
        release("w");
        EXPECT_TRUE(waitForKey('W', false));
    }
};

TEST_F(FocusTest, FocusGoingToAnotherWindowReleasesHeldKeys)
{
    holdWAndUp();
    const WindowId other = createOtherWindow(driver());
    driver().focus(other);
    EXPECT_TRUE(waitForAllReleasedWithoutEvents()) << "keys stay held after the focus left";
    EXPECT_TRUE(heldCodes().empty());
    expectCleanReturn();
    driver().destroyWindow(other);
}

// Other programs' windows may go at any time while the watcher asks about
// them. The test's X driver leaves the process's error handler alone, so the
// program's own error policy is what meets the error here.
TEST_F(FocusTest, WindowVanishingUnderTheWatcherEndsNothing)
{
    holdWAndUp();
    const WindowId other = createOtherWindow(driver());
    EXPECT_TRUE(watchSeesWindow(other));
    driver().destroyWindow(other);
    // BadWindow on the watcher's connection: absorbed, and the program goes on.
    EXPECT_FALSE(watchSeesWindow(other));
    EXPECT_EQ(getKeyState('W'), KEY_HELD);
    driver().focusNone();
    EXPECT_TRUE(waitForAllReleasedWithoutEvents()) << "keys stay held after the focus left";
    expectCleanReturn();
}

TEST_F(FocusTest, FocusGoingToNobodyReleasesHeldKeys)
{
    holdWAndUp();
    driver().focusNone();
    EXPECT_TRUE(waitForAllReleasedWithoutEvents()) << "keys stay held after the focus left";
    expectCleanReturn();
}

TEST_F(FocusTest, WindowUnmappedReleasesHeldKeys)
{
    holdWAndUp();
    driver().iconify(programWindow());
    EXPECT_TRUE(waitForAllReleasedWithoutEvents()) << "keys stay held with the window unmapped";
    driver().restore(programWindow());
    // Let the program see its window again before it takes the focus back.
    for (int i = 0; i < 5; ++i)
        pumpEvents();
    expectCleanReturn();
}

TEST_F(FocusTest, KeysPressedWhileAnotherWindowHasFocusAreNotSeen)
{
    const WindowId other = createOtherWindow(driver());
    driver().focus(other);
    press("w");
    driver().focus(programWindow());
    settleEvents();
    EXPECT_TRUE(heldCodes().empty());
    release("w");
    driver().destroyWindow(other);
}

TEST_F(FocusTest, PressAfterFocusCameBackIsKeptWhenNoStateWasReadMeanwhile)
{
    // The focus leaves and comes back with nobody reading the key state, then
    // a key goes down: the old loss must not take the new press with it.
    const WindowId other = createOtherWindow(driver());
    driver().focus(other);
    driver().focus(programWindow());
    press("w");
    driver().sync();
    pumpEvents();
    EXPECT_TRUE(waitForKey('W', true)) << "a press after the focus came back was lost";
    release("w");
    EXPECT_TRUE(waitForKey('W', false));
    driver().destroyWindow(other);
}

TEST_F(FocusTest, KeyHeldUnderPointerFocusStaysHeldWhenTheWindowIsFocusedOutright)
{
    // Focus that follows the pointer: give it to a window of ours, then take
    // that window away, and the server reverts to pointer-root focus.
    const WindowId other = createOtherWindow(driver());
    driver().focus(other);
    driver().destroyWindow(other);
    driver().movePointerIn(programWindow(), MIDDLE_X, MIDDLE_Y);
    press("w");
    ASSERT_TRUE(waitForKey('W', true)) << "keys do not follow the pointer into the window";
    // Now the window gets the focus outright. The keyboard never leaves it,
    // though the server reports the pointer's hold on the focus ending.
    driver().focus(programWindow());
    settleEvents();
    EXPECT_EQ(getKeyState('W'), KEY_HELD)
        << "W let go while it was held and the window had the keys";
    release("w");
    EXPECT_TRUE(waitForKey('W', false));
}

TEST_F(FocusTest, KeyReleasedElsewhereIsLetGoWhenTheFocusComesBack)
{
    // Nobody reads the key state while the focus is away, so the loss is only
    // taken in after the focus has come back.
    press("w");
    ASSERT_TRUE(waitForKey('W', true));
    const WindowId other = createOtherWindow(driver());
    driver().focus(other);
    release("w");
    driver().focus(programWindow());
    settleEvents();
    EXPECT_TRUE(heldCodes().empty()) << "W stays held though it went up in another window";
    driver().destroyWindow(other);
}
