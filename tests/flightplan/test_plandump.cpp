// The plan-dump tool as it is run from a shell: one JSON line per file, a refused file's reason in "error".
#include "planfixtures.h"

#include <QProcess>
#include <gtest/gtest.h>

TEST(PlanDump, ReadsDecimalPositionsAndRefusesAFifoAtOnce)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("x.pln");
    const UnblockingFifo writerless(fifo);
    ASSERT_TRUE(writerless.Made());
    const QString plan = FixturePath("CYPR-PAKT_decimal_fsx.pln");
    const QString lettered = FixturePath("KSEA-KPDX_lettered_fsx.pln");

    QProcess dump;
    dump.start(QStringLiteral(AEROVANE_PLAN_DUMP), {plan, lettered, fifo});
    ASSERT_TRUE(dump.waitForFinished(60000)) << "plan-dump did not finish";
    EXPECT_EQ(dump.exitCode(), 1);
    const std::string read = R"(","departure":"CYPR","destination":"PAKT","cruise":5000,"waypoints":[)"
                             R"({"ident":"CYPR","type":1,"lat":54.285833,"lon":-130.444678,"alt":0},)"
                             R"({"ident":"WP1","type":4,"lat":54.765892,"lon":-130.647858,"alt":5000},)"
                             R"({"ident":"ANN","type":5,"lat":55.060361,"lon":-131.578389,"alt":5000},)"
                             R"({"ident":"PAKT","type":1,"lat":55.355556,"lon":-131.713611,"alt":0}]})";
    // Decimal degrees behind the letters, airports written "AIRPORT".
    const std::string readLettered = R"(","departure":"KSEA","destination":"KPDX","cruise":30000,"waypoints":[)"
                                     R"({"ident":"KSEA","type":1,"lat":47.449944,"lon":-122.309417,"alt":0},)"
                                     R"({"ident":"SEA","type":5,"lat":47.435372,"lon":-122.309781,"alt":30000},)"
                                     R"({"ident":"HQ","type":6,"lat":46.947222,"lon":-123.875,"alt":30000},)"
                                     R"({"ident":"KPDX","type":1,"lat":45.588722,"lon":-122.5975,"alt":0}]})";
    const std::string refused = R"(","error":"it is not a regular file"})";
    EXPECT_EQ(dump.readAllStandardOutput().toStdString(),
              R"({"file":")" + plan.toStdString() + read + "\n" + R"({"file":")" + lettered.toStdString() + readLettered
                  + "\n" + R"({"file":")" + fifo.toStdString() + refused + "\n");
}
