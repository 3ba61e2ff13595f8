#include "app/ProgramIcon.h"

#include <gtest/gtest.h>

TEST(ProgramIcon, HasEveryPackagedSizeFromTheResources)
{
    const QIcon icon = programIcon();
    ASSERT_EQ(icon.availableSizes().size(), 8);
    for (int size : {16, 256})
        EXPECT_EQ(icon.pixmap(size, size).size(), QSize(size, size)) << size;
}
