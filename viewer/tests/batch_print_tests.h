#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeBatchPrintTest();
QObject* makePrinterFileDataTest();
}  // namespace hv::viewer::test
