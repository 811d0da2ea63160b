#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace plumoxa::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

// Records a test class under its name; TestMain runs the one named on the command line, or all.
bool registerTest(const char* name, TestFactory factory);

} // namespace plumoxa::test

#define PLUMOXA_TEST(Class)                                                                                            \
    static const bool plumoxa_registered_##Class                                                                       \
        = plumoxa::test::registerTest(#Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
