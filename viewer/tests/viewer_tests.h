#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeDocumentTest();
QObject* makeSettingsTest();
QObject* makeQueueTest();
}  // namespace hv::viewer::test
