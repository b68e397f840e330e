#pragma once

// main() for tests whose windows hold web views: the web engine wants shared
// GL contexts before the application object, and no sandbox in the test
// environment.
#include <QApplication>
#include <QTest>

#define PARLOR_WEBVIEW_TEST_MAIN(TestClass)                                                                          \
    int main(int argc, char** argv)                                                                                  \
    {                                                                                                                \
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");                                                                 \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                  \
        QApplication app(argc, argv);                                                                                \
        TestClass test;                                                                                              \
        return QTest::qExec(&test, argc, argv);                                                                      \
    }
