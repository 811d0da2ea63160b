#include "support/TestRegistry.h"

#include <QApplication>

// The main of the test folders that show widgets (on the offscreen platform under CTest).
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return plumoxa::test::runRegisteredTests(argc, argv);
}
