#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace plumoxa::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

// Records a test class under its name.
bool registerTest(const char* name, TestFactory factory);

// Usage: test_FOLDER [CLASS [QtTest options...]]. Without a class every registered class runs.
// The caller has made the application object the tests need (TestMain: QCoreApplication,
// GuiTestMain: QApplication).
int runRegisteredTests(int argc, char** argv);

} // namespace plumoxa::test

#define PLUMOXA_TEST(Class)                                                                                            \
    static const bool plumoxa_registered_##Class                                                                       \
        = plumoxa::test::registerTest(#Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
