#include "support/TestRegistry.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return plumoxa::test::runRegisteredTests(argc, argv);
}
