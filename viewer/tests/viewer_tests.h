#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeDocumentTest();
QObject* makeSettingsTest();
QObject* makeQueueTest();
QObject* makeViewCommandsTest();
}  // namespace hv::viewer::test
