#include "platform/locale.h"

#include <gtest/gtest.h>

#ifdef AEROVANE_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;

// Qt's offscreen platform plugin never frees its screen; LeakSanitizer would report that at the end of every
// widget test.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\n";
}
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#if defined(__SANITIZE_THREAD__)
// Qt is not built for ThreadSanitizer: QThread tells QThread::wait that its thread has ended under a QMutex the
// checker cannot see, so the ending thread's last reads (the object's meta-object while announcing the end, its
// wait condition) look unordered with the destruction of the thread object that follows the wait.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:QWaitCondition::~QWaitCondition\nrace:metaObject\n";
}
#endif

int main(int argc, char** argv)
{
#ifdef AEROVANE_WIDGET_TESTS
    // Widget tests run headless unless a platform is asked for, also when the build lists their tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    platform::UseCLocale();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
