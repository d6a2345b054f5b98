#pragma once
// The stages a progress callback (GrxProgress) is called with: its first
// argument says which long operation is reporting and what the counts mean.
// The callback receives the number as a plain int, so every value is fixed.

enum GrxProgressStage : int {
  // grxSaveImage: (lines written, lines total). A tiled target stops when the
  // callback returns 0 after a row of tiles; the other targets ignore it.
  GRX_PROGRESS_SAVE = 1,
  // grxRenderRect: (percent done, 100); returning 0 cancels the render.
  GRX_PROGRESS_RENDER = 2,
  // grxLoadImageMemory: (lines decoded, lines total); returning 0 cancels.
  GRX_PROGRESS_LOAD = 3,
};
