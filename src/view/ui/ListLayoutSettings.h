#pragma once

#include "view/ListLayout.h"

// The list's layout as the user left it; the starting layout where nothing valid is stored.
ListLayout LoadListLayout();
void SaveListLayout(const ListLayout& layout);
