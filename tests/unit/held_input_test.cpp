// The tracker of what the driver holds down, over the recording input fake.
#include "output_fakes.h"

#include "driver/output/held_input.h"

#include <gtest/gtest.h>

namespace qvl {
namespace {

TEST(HeldInput, ReleaseAllLetsGoOfWhatIsDownLastFirstAndLateReleasesSendNothing) {
    fakes::RecordingInput input;
    CHeldInput held(input);
    held.Key(0x11, false); // Ctrl
    held.Key(0x41, false); // A
    held.Mouse(kMouseMove, 3, 0);
    held.Mouse(kMouseLeftDown, 0, 0);
    held.Key(0x10, false); // Shift, then up again: not held any more
    held.Key(0x10, true);
    input.Take();

    EXPECT_EQ(held.ReleaseAll(), 3);
    EXPECT_EQ(input.Take(), (fakes::Events{"-LButton", "-A", "-Ctrl"}));
    EXPECT_TRUE(held.HeldNow().empty());

    // The device's own releases arrive later: nothing goes out for them, once.
    held.Key(0x41, true);
    held.Mouse(kMouseLeftUp, 0, 0);
    held.Key(0x11, true);
    EXPECT_TRUE(input.Take().empty());
    // A key pressed again after that is an ordinary press and release.
    held.Key(0x41, false);
    held.Key(0x41, true);
    held.Key(0x20, true); // a release of a key never pressed passes as before
    EXPECT_EQ(input.Take(), (fakes::Events{"+A", "-A", "-Space"}));
    EXPECT_EQ(held.ReleaseAll(), 0);
}

} // namespace
} // namespace qvl
