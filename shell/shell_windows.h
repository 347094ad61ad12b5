// Qismar: the windows of the application shell: the main window with its
// menu and marquee, the introduction, the text viewer and its summary, the
// verses with their recitation, the notice and the About window.
//
// Each window exists once for the whole run and is reachable program-wide
// through the reference that bears its name, set by its constructor.
#pragma once

#include "shell/about_window.h"
#include "shell/book_summary.h"
#include "shell/book_viewer.h"
#include "shell/introduction_window.h"
#include "shell/main_window.h"
#include "shell/notice_window.h"
#include "shell/verses_window.h"
