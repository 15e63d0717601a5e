#include "platform/locale.h"

#include <gtest/gtest.h>

#ifdef AEROVANE_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;

// Qt's offscreen platform plugin never frees its screen, and D-Bus (which the xcb platform starts) keeps a buffer
// of its own; LeakSanitizer would report them at the end of every widget test.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libqoffscreen.so\nleak:libdbus-1.so\n";
}
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>

// Qt unloads its plugins (the xcb platform with its X and D-Bus libraries) when the application object goes;
// LeakSanitizer would then report what the unloaded libraries still held. Every library loaded by the end of the
// tests stays loaded.
static void KeepLibrariesLoaded()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0] != '\0')
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}
#else
static void KeepLibrariesLoaded() { }
#endif
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
    const int result = RUN_ALL_TESTS();
#ifdef AEROVANE_WIDGET_TESTS
    KeepLibrariesLoaded();
#endif
    return result;
}
