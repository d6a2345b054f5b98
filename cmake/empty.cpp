// The shared core library is assembled from the static module libraries.
