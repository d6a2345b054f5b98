#pragma once
#include <QObject>

namespace hv::viewer::test {
QObject* makeDocumentTest();
QObject* makeSettingsTest();
QObject* makeQueueTest();
QObject* makeViewCommandsTest();
QObject* makeMirrorTest();
QObject* makeEditorLinkTest();
QObject* makeLaunchTest();
QObject* makeFrameCommandsTest();
QObject* makeOverviewTest();
QObject* makeViewScrollTest();
QObject* makeBitExpansionTest();
}  // namespace hv::viewer::test
