/*
 * The scenes of interface-snapshot. Each builds its windows, lets them draw and saves the
 * picture at `path` as PNG, every pixel `scale` pixels wide.
 */
#ifndef SCENES_H
#define SCENES_H

#include <SupportDefs.h>

status_t SaveDrawingScene(const char* path, int32 scale);
status_t SaveControlsScene(const char* path, int32 scale);

#endif // SCENES_H
