#pragma once
// Making the viewer the desktop's default application for drawing types, for
// the current user.
#include <QString>
#include <QStringList>

namespace hv::desktop {

inline constexpr const char* kViewerDesktopEntry = "halvor-viewer.desktop";
// The shared-mime-info package that names the drawing types.
inline constexpr const char* kMimePackageName = "halvor-viewer.xml";

struct ImageTypeChoice {
  const char* extension;
  const char* mimeType;
};

// The extensions the associations dialog offers, in the order they are
// registered, and the MIME type each stands for. The desktop associates
// types, not extensions: the three CALS Type 1 extensions share one type.
inline constexpr ImageTypeChoice kImageTypeChoices[] = {
    {".cal", "image/x-cals-type1"}, {".ct1", "image/x-cals-type1"}, {".g4", "image/x-cals-type1"},
    {".c4", "image/x-edmics-c4"},   {".tif", "image/tiff"},
};

// The MIME types of the given extensions in registration order, each once.
QStringList mimeTypesForExtensions(const QStringList& extensions);

// Makes the viewer's desktop entry the default for the types of the given
// extensions: installs the drawing types for this user when the MIME
// database does not know them yet, removes this user's desktop-specific
// choices for those types (files ~/.config/DESKTOP-mimeapps.list, which
// would override the general one), then runs `xdg-mime default`. Nothing
// is changed for an empty list. False when a step failed. mimePackage names
// the package file to install; empty looks for the installed one.
bool makeViewerDefault(const QStringList& extensions, const QString& mimePackage = {});

// Removes the [Default Applications] entries of the given types from one
// mimeapps.list file, rewriting it safely; true when the file is absent,
// needed no change or was rewritten.
bool removeDefaultEntries(const QString& listFile, const QStringList& mimeTypes);

}  // namespace hv::desktop
