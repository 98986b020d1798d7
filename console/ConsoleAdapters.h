#pragma once
// What --list-devices prints of the graphics adapters: each one the GFX tests could use, with what
// the processor can reach of its memory.

#include <memory>
#include <ostream>

#include "GraphicsDevice.h"

// Every adapter of Graphics with its index, name, kind, free memory and reach; the default one,
// which the GFX tests use, is marked. Graphics null: the interface could not be opened.
void ListGraphicsAdapters(const std::unique_ptr<TGraphicsInterface>& Graphics, std::ostream& Out);
