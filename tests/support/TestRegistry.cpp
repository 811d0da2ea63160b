#include "support/TestRegistry.h"

#include <QTest>

#include <map>
#include <string>

namespace plumoxa::test {

static std::map<std::string, TestFactory>& registry()
{
    static std::map<std::string, TestFactory> tests;
    return tests;
}

bool registerTest(const char* name, TestFactory factory)
{
    registry().emplace(name, std::move(factory));
    return true;
}

int runRegisteredTests(int argc, char** argv)
{
    auto& tests = registry();
    if (argc > 1 && argv[1][0] != '-') {
        const auto found = tests.find(argv[1]);
        if (found == tests.end()) {
            qCritical("No test class named %s", argv[1]);
            return 2;
        }
        argv[1] = argv[0];
        auto object = found->second();
        return QTest::qExec(object.get(), argc - 1, argv + 1);
    }
    int failures = 0;
    for (const auto& [name, factory] : tests) {
        auto object = factory();
        failures += QTest::qExec(object.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

} // namespace plumoxa::test
