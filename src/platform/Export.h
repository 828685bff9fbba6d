// Marks the classes, functions and static data the shared library exports to
// host programs; everything else is built with hidden visibility.
#pragma once
#define VOK_API __attribute__((visibility("default")))
