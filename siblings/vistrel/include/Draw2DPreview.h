// Where the view library's preview windows write their pictures: each view writes
// "<directory>/<dialog caption>-<control id>.svg" whenever its picture changes.
#pragma once

// The directory as a code page 936 path; null or empty stops writing.
void Draw2DSetPreviewDirectory(const char* cp936Dir);
