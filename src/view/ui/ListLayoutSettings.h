#pragma once

#include "view/ListLayout.h"

// The list's layout as the user left it; the starting layout where nothing valid is stored.
ListLayout LoadListLayout();
void SaveListLayout(const ListLayout& layout);

// Whether the ISBN and location columns are shown, and their widths.
struct DetailColumns {
    bool isbn = false;
    bool location = false;
    int isbnWidth = 110;
    int locationWidth = 100;
};
DetailColumns LoadDetailColumns();
void SaveDetailColumns(const DetailColumns& columns);
