#pragma once
// Display calls of the image engine: rendering rectangles of an image at a
// scale and view rotation, painting a view, and the view's zoom, fit and
// scrolling arithmetic.
#include <cstdint>

#include "engine/display_types.h"
#include "engine/image_handle.h"
#include "platform/export.h"

// Results of grxRenderRect.
enum GrxRenderStatus : int {
  GRX_RENDER_DONE = 0,
  GRX_RENDER_NO_CONTEXT = 1,    // the decoding context could not be made; nothing drawn
  GRX_RENDER_DECODE_ERROR = 2,  // the data is bad part-way; the bands before it are drawn
  GRX_RENDER_SCALE_ERROR = 3,   // the scaled rectangle cannot be banded
  GRX_RENDER_BAD_ROTATION = 6,  // rotation not a multiple of 900
  GRX_RENDER_STOPPED = 10,      // the progress callback asked to stop
};

// Line modes of grxRenderRect.
enum GrxLineMode : int {
  GRX_LINES_AUTOMATIC = 0,  // transition lists when reducing both ways from coded data
  GRX_LINES_PACKED = 2,     // packed rows
};

extern "C" {

// Draws the image rectangle `image` (right and bottom exclusive; cut to the
// image) at `scale` (horizontal d, n, vertical d, n) turned by `rotation`
// (tenths of a degree) into the device rectangle `display`: the scaled,
// turned picture is placed at the rectangle's top-left corner and cut to it.
// The image's display source is its file, or its image memory after
// grxUseImageMemory (or when the image has no file). Returns a
// GrxRenderStatus; -2 without a handle, -3 for a missing argument or a scale
// with a zero term. The progress callback receives (2, 0, percent, 100).
[[nodiscard]] HV_EXPORT int grxRenderRect(const GrxBlitTarget* target, const GrxRect* display,
                                          ImageHdl handle, const GrxRect* image, const std::uint8_t scale[4],
                                          int rotation, int lineMode, GrxProgress progress);

// Paints a window rectangle (the client area when `rect` is null) through
// `device` (the window's own when null) with the handle's current display
// state. 0 when done or nothing needs drawing, -2 without handle, -3 without
// window, -1 when the mapping fails, else the render's status.
[[nodiscard]] HV_EXPORT int grxDisplayImage(hv::engine::DisplayWindow* window, GrxDevice* device,
                                            const GrxRect* rect, ImageHdl handle);

// Maps a device rectangle to the image rectangle feeding it (see
// engine/display_math.h); 1 on success, 0 otherwise.
[[nodiscard]] HV_EXPORT int grxMapDisplayRect(GrxRect* image, GrxRect* display, const std::uint8_t scale[4],
                                              std::uint32_t width, std::uint32_t height, std::int32_t scrollX,
                                              std::int32_t scrollY, int rotation);

// The window position of an image rectangle under the current scale,
// rotation and scroll position. -2 without handle, -3 without output.
[[nodiscard]] HV_EXPORT int grxImageToDisplayRect(ImageHdl handle, GrxRect* display, const GrxRect* image);

// The image rectangle of a physical size from the top left corner; -13 when
// it exceeds the image, -3 without handle or output.
[[nodiscard]] HV_EXPORT int grxPhysicalSizeRect(ImageHdl handle, GrxRect* rect, double widthInches,
                                                double heightInches);

// Step the scale through the 13-step table; 1 when a step was taken.
[[nodiscard]] HV_EXPORT int grxZoomIn(ImageHdl handle, std::uint8_t scale[4]);
[[nodiscard]] HV_EXPORT int grxZoomOut(ImageHdl handle, std::uint8_t scale[4]);

// Sets the scale that fits the image into the window's client area; writes
// the display state to `state` (the handle's current one when null). 1 or 0.
[[nodiscard]] HV_EXPORT int grxFitToWindow(hv::engine::DisplayWindow* window, ImageHdl handle,
                                           hv::engine::DisplayState* state);
// Shows the image at 1:1, keeping the image point at the window's centre.
HV_EXPORT void grxSetOneToOne(hv::engine::DisplayWindow* window, ImageHdl handle);
// Recomputes the scroll ranges and positions and stores the view origins.
[[nodiscard]] HV_EXPORT int grxUpdateScrolling(hv::engine::DisplayWindow* window, ImageHdl handle,
                                               int keepPosition);
// Makes image memory the display source (loading it when missing). 1 or 0.
[[nodiscard]] HV_EXPORT int grxUseImageMemory(ImageHdl handle);
// Fits the image part under a window rectangle (a selection) into the window.
[[nodiscard]] HV_EXPORT int grxZoomToRect(hv::engine::DisplayWindow* window, ImageHdl handle,
                                          const GrxRect* rect);
// Sets the view rotation, keeping the image point at the window's centre.
[[nodiscard]] HV_EXPORT int grxSetViewRotation(hv::engine::DisplayWindow* window, ImageHdl handle,
                                               int rotation);
}
