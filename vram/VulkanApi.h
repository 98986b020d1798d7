#pragma once
// The Vulkan header without its function declarations: every entry point is looked up at run
// time, so that no call can bind to a library the program does not have.

#ifndef VK_NO_PROTOTYPES
#define VK_NO_PROTOTYPES
#endif
#include <vulkan/vulkan.h>
