#pragma once
// The one place that includes windows.h, so every file sees the same settings.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <windowsx.h>

// Our windows have a DrawText procedure of their own; the API macro would rename it.
#ifdef DrawText
#undef DrawText
#endif
