#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeDocumentTest();
QObject* makeSettingsTest();
QObject* makeQueueTest();
QObject* makeEditorLinkTest();
}  // namespace hv::viewer::test
