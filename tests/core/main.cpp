// The core tests' entry: GoogleTest with the program's texts from the generated table, as
// the native build has no resources.
#include <gmock/gmock.h>

#include "base/TableTexts.h"

int main(int argc, char** argv) {
    tarnix::useTexts(tarnix::tableTexts());
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
