#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeDeletionTest();
QObject* makeQaCommandsTest();
}  // namespace hv::viewer::test
