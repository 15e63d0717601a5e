#include "platform/filename.h"

#include <gtest/gtest.h>

TEST(SafeFileName, KeepsTheNameInsideItsFolderAndLegalEverywhere)
{
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("A/B C"), QStringLiteral("A_B_C")},
        {QStringLiteral("../x"), QStringLiteral(".._x")},
        {QStringLiteral(".."), QStringLiteral("__")},
        {QStringLiteral("."), QStringLiteral("_")},
        {QStringLiteral("N123/A"), QStringLiteral("N123_A")},
        {QStringLiteral("a\\b:c*d?e\"f<g>h|i"), QStringLiteral("a_b_c_d_e_f_g_h_i")},
        {QStringLiteral("tab\there\nline"), QStringLiteral("tab_here_line")},
        {QStringLiteral("Boeing 737-800 Aerovane Air"), QStringLiteral("Boeing_737-800_Aerovane_Air")},
        {QStringLiteral("EDDF"), QStringLiteral("EDDF")},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::SafeFileName(c.in), c.out) << c.in.toStdString();
}
