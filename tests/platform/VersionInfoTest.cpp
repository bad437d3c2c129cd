#include "platform/VersionInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionInfo, ValuesComeFromTheBuild) {
    EXPECT_EQ(VersionInfo().FileVersion, QStringLiteral(VARNEL_EXPECTED_VERSION));
    EXPECT_EQ(VersionInfo().ProductName, QStringLiteral(VARNEL_EXPECTED_PRODUCT));
    EXPECT_EQ(VersionInfoValue(QStringLiteral("fileversion")), VersionInfo().FileVersion);
    for (const char* key : {"ProductName", "FileDescription", "LegalCopyright", "Comments"})
        EXPECT_FALSE(VersionInfoValue(QLatin1String(key)).isEmpty()) << key;
    EXPECT_EQ(VersionInfoValue(QStringLiteral("InternalName")), QString());
}

} // namespace
