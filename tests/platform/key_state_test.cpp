// The key-state table as real key events from the X server feed it: which keys
// count as held, by which code, and which keys change nothing.
#include "platform/platform.h"
#include "tests/platform/keyboard_fixture.h"
#include "tests/support/gl_program.h"
#include "tests/support/program.h"

#include <chrono>
#include <memory>

class KeyStateTest : public KeyboardTest {
protected:
    // Press a key, check it reads held (and is the only key held), release it
    // and check it reads released again.
    void tap(const char* keysym, int virtualKey)
    {
        SCOPED_TRACE(keysym);
        press(keysym);
        ASSERT_TRUE(waitForKey(virtualKey, true)) << keyName(virtualKey) << " never read held";
        EXPECT_EQ(heldCodes(), std::vector<int>{virtualKey});
        EXPECT_EQ(getKeyState(virtualKey), KEY_HELD);
        release(keysym);
        ASSERT_TRUE(waitForKey(virtualKey, false)) << keyName(virtualKey) << " never read released";
        EXPECT_TRUE(heldCodes().empty());
    }
};

TEST_F(KeyStateTest, LettersReadHeldByTheirCapitalCodeWhileDown)
{
    tap("w", 'W');
    tap("a", 'A');
    tap("s", 'S');
    tap("d", 'D');
    tap("q", 'Q');
    tap("e", 'E');
    tap("r", 'R');
    tap("f", 'F');
}

// A press and its release both handled before the keys are read, as when a
// tick takes long: the key reads held until the tick has seen it, then not.
TEST_F(KeyStateTest, KeyTappedBetweenTwoTicksCountsOnce)
{
    for (const auto& [keysym, virtualKey] : {std::pair{"w", 'W'}, {"Up", VK_UP}, {"Escape", VK_ESCAPE}}) {
        SCOPED_TRACE(keysym);
        press(keysym);
        release(keysym);
        press("z");  // handled after the tap: once it reads held, so was the tap
        ASSERT_TRUE(pollUntil([] { pumpEvents(); return getKeyState('Z') == KEY_HELD; }, 20000, 2));
        EXPECT_EQ(getKeyState(virtualKey), KEY_HELD) << "the tap was lost";
        tickSawKeys();
        EXPECT_EQ(getKeyState(virtualKey), 0) << "the tap counted for more than one tick";
        release("z");
        ASSERT_TRUE(waitForKey('Z', false));
    }
}

TEST_F(KeyStateTest, LettersHeldTogetherAreEachTracked)
{
    press("w");
    press("d");
    ASSERT_TRUE(waitForKey('W', true));
    ASSERT_TRUE(waitForKey('D', true));
    EXPECT_EQ(heldCodes(), (std::vector<int>{'D', 'W'}));
    release("w");
    ASSERT_TRUE(waitForKey('W', false));
    EXPECT_EQ(heldCodes(), std::vector<int>{'D'});
    release("d");
    ASSERT_TRUE(waitForKey('D', false));
}

TEST_F(KeyStateTest, LetterPressedBareAndReleasedWithShiftIsReleased)
{
    press("w");
    ASSERT_TRUE(waitForKey('W', true));
    press("Shift_L");
    // The same physical key, now reading as the capital letter.
    release("W");
    EXPECT_TRUE(waitForKey('W', false)) << "W stays held after its key went up under Shift";
    release("Shift_L");
    settleEvents();
    EXPECT_TRUE(heldCodes().empty());
}

TEST_F(KeyStateTest, LetterPressedWithShiftAndReleasedBareIsReleased)
{
    press("Shift_L");
    press("W");
    ASSERT_TRUE(waitForKey('W', true));
    release("Shift_L");
    release("w");
    EXPECT_TRUE(waitForKey('W', false));
}

TEST_F(KeyStateTest, CapsLockChangesNoKeyAndLettersStillTrack)
{
    press("Caps_Lock");
    release("Caps_Lock");
    settleEvents();
    EXPECT_TRUE(heldCodes().empty());
    tap("w", 'W');
    // Caps Lock off again before the next test.
    press("Caps_Lock");
    release("Caps_Lock");
}

TEST_F(KeyStateTest, ControlLetterCountsAsTheLetter)
{
    press("Control_L");
    press("w");
    ASSERT_TRUE(waitForKey('W', true)) << "Ctrl+W did not hold W";
    EXPECT_EQ(heldCodes(), std::vector<int>{'W'});
    release("w");
    EXPECT_TRUE(waitForKey('W', false));
    release("Control_L");
}

TEST_F(KeyStateTest, ControlPressedOrReleasedWhileLetterHeldKeepsTrack)
{
    // Ctrl comes up before the letter.
    press("Control_L");
    press("s");
    ASSERT_TRUE(waitForKey('S', true));
    release("Control_L");
    release("s");
    EXPECT_TRUE(waitForKey('S', false));
    // Ctrl goes down while the letter is held.
    press("s");
    ASSERT_TRUE(waitForKey('S', true));
    press("Control_L");
    release("s");
    EXPECT_TRUE(waitForKey('S', false));
    release("Control_L");
}

TEST_F(KeyStateTest, RightShiftIsTrackedLeftShiftIsNot)
{
    tap("Shift_R", VK_RSHIFT);
    press("Shift_L");
    settleEvents();
    EXPECT_TRUE(heldCodes().empty()) << "left Shift counted as a tracked key";
    release("Shift_L");
}

TEST_F(KeyStateTest, ArrowsHomeEndAndEscapeReadByTheirCodes)
{
    tap("Up", VK_UP);
    tap("Down", VK_DOWN);
    tap("Left", VK_LEFT);
    tap("Right", VK_RIGHT);
    tap("Home", VK_HOME);
    tap("End", VK_END);
    tap("Escape", VK_ESCAPE);
}

TEST_F(KeyStateTest, UntrackedKeysChangeNothing)
{
    // Tab, Backspace and Return produce control characters of their own, which
    // must not pass for Ctrl+I, Ctrl+H or Ctrl+M without Ctrl.
    for (const char* keysym : {"Tab", "F5", "1", "BackSpace", "Return", "space", "Control_L",
                               "Alt_L", "KP_Enter", "bracketleft"}) {
        SCOPED_TRACE(keysym);
        press(keysym);
        settleEvents();
        EXPECT_TRUE(heldCodes().empty());
        release(keysym);
        settleEvents();
        EXPECT_TRUE(heldCodes().empty());
    }
}

TEST_F(KeyStateTest, ControlWithPunctuationOrDigitIsNotEscape)
{
    // Ctrl+[ and Ctrl+3 produce the same character as Escape.
    for (const char* keysym : {"bracketleft", "3"}) {
        SCOPED_TRACE(keysym);
        press("Control_L");
        press(keysym);
        settleEvents();
        EXPECT_EQ(getKeyState(VK_ESCAPE), 0) << "Ctrl+key read as Escape";
        release(keysym);
        release("Control_L");
    }
}

TEST_F(KeyStateTest, ControlWithKeysSharingLetterCodesHoldsNoLetter)
{
    // Ctrl+Tab, Ctrl+Backspace and Ctrl+Return share their characters with
    // Ctrl+I, Ctrl+H and Ctrl+M.
    for (const char* keysym : {"Tab", "BackSpace", "Return"}) {
        SCOPED_TRACE(keysym);
        press("Control_L");
        press(keysym);
        settleEvents();
        EXPECT_TRUE(heldCodes().empty());
        release(keysym);
        release("Control_L");
    }
}

TEST_F(KeyStateTest, EscapeWithControlStillReadsEscape)
{
    press("Control_L");
    press("Escape");
    EXPECT_TRUE(waitForKey(VK_ESCAPE, true));
    release("Escape");
    EXPECT_TRUE(waitForKey(VK_ESCAPE, false));
    release("Control_L");
}

TEST_F(KeyStateTest, CodesOutsideTheTableReadReleased)
{
    press("w");
    press("Shift_L");
    ASSERT_TRUE(waitForKey('W', true));
    // 0x10 is the code of either Shift on other systems; here it is untracked.
    for (int code : {-1, 0, 0x10, 255, 256, 1000, -1000})
        EXPECT_EQ(getKeyState(code), 0) << code;
    // Marking such codes is ignored and leaves the table as it was.
    for (int code : {-1, 0, 0x10, 255, 256, 1000, -1000}) {
        pressKey(code);
        releaseKey(code);
    }
    EXPECT_EQ(heldCodes(), std::vector<int>{'W'});
    release("Shift_L");
    release("w");
}

TEST_F(KeyStateTest, HeldKeyStaysHeldThroughAutoRepeat)
{
    press("d");
    ASSERT_TRUE(waitForKey('D', true));
    // The server repeats after 150 ms, then every 30 ms: hold well past that,
    // looking after every batch of events.
    constexpr auto HOLD = std::chrono::milliseconds(600);
    constexpr int SAMPLE_GAP_MS = 5;
    const auto until = std::chrono::steady_clock::now() + HOLD;
    int dropped = 0;
    while (std::chrono::steady_clock::now() < until) {
        pumpEvents();
        if (getKeyState('D') != KEY_HELD)
            ++dropped;
        pauseFor(SAMPLE_GAP_MS);
    }
    EXPECT_EQ(dropped, 0) << "a repeat let D go while it was held";
    release("d");
    ASSERT_TRUE(waitForKey('D', false));
    // No repeat left in the queue brings it back.
    settleEvents();
    EXPECT_TRUE(heldCodes().empty());
}

// A letter key stands for the Latin letter its active group gives it, else for
// the one another group gives it, else for the letter at its place on a US
// keyboard; and it is let go when it goes up while another window has the keys.
TEST_F(KeyStateTest, LetterKeysFollowTheLayout)
{
    struct LayoutKey {
        const char* layout; // setxkbmap's arguments; null: the layout as it is
        bool nextGroup;     // switch to the second group first
        const char* keysym;
        int letter; // 0: no tracked key
    };
    // With us,fr "w" is the first group's, at W's place, where AZERTY has Z.
    const LayoutKey cases[] = {
        {"ru", false, "Cyrillic_tse", 'W'},          {"gr", false, "Greek_finalsmallsigma", 'W'},
        {"il", false, "hebrew_qoph", 'E'},           {"ru,fr", false, "Cyrillic_tse", 'Z'},
        {"fr", false, "w", 'W'},                     {"us -variant dvorak", false, "comma", 0},
        {"us,fr -option grp:caps_toggle", false, "w", 'W'}, {nullptr, true, "w", 'Z'},
    };
    // The US layout back for the tests after this one, however this one ends.
    const std::unique_ptr<void, void (*)(void*)> usAtTheEnd(
        this, [](void*) { runCommand("setxkbmap -option '' us"); });
    const WindowId other = driver().createWindow(1300, 800, 100, 100);
    for (const LayoutKey& key : cases) {
        SCOPED_TRACE(key.layout != nullptr ? key.layout : "next group");
        if (key.layout != nullptr) {
            ASSERT_EQ(runCommand(std::string("setxkbmap ") + key.layout).status, 0);
        }
        driver().sync(); // the driver hears of the new keymap
        if (key.nextGroup) {
            press("ISO_Next_Group");
            release("ISO_Next_Group");
        }
        press(key.keysym);
        if (key.letter == 0) {
            settleEvents();
            EXPECT_TRUE(heldCodes().empty());
            release(key.keysym);
            continue;
        }
        ASSERT_TRUE(waitForKey(key.letter, true)) << keyName(key.letter) << " never read held";
        EXPECT_EQ(heldCodes(), std::vector<int>{key.letter});
        driver().focus(other);
        release(key.keysym);
        driver().focus(programWindow());
        EXPECT_TRUE(waitForKey(key.letter, false)) << "let go elsewhere, still held";
    }
    driver().destroyWindow(other);
}
