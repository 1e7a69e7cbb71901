#pragma once
struct c_item_t;

// Loading, freeing and moving of ".info.xml" resources: the item's memory holds the info's compiled
// description block.

// The cache's load of an info item: reads the info and everything it names, compiles it into the
// item's memory and answers the block; null (the item keeps no memory, the model is released) when
// the info is missing or does not parse.
void* psb_info_load(c_item_t* item);
// The cache's free of an info item: releases the block's model and gives the memory back.
void psb_info_free(c_item_t* item);
// The cache's move of an info item: the block holds only offsets into itself, so a copy is whole.
void psb_info_move(c_item_t* item, void* new_block);
