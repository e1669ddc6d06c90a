#pragma once
// The two traffic-graph windows: one interface's eleven counters, and one
// counter across several interfaces.

// Their window classes, null until they exist.
#define IF_ONLY_DOC nullptr
#define IF_ONLY_FRAME nullptr
#define IF_ONLY_VIEW nullptr
#define IF_ONLY_HISVIEW nullptr
#define IF_MULTI_DOC nullptr
#define IF_MULTI_FRAME nullptr
#define IF_MULTI_VIEW nullptr
#define IF_MULTI_HISVIEW nullptr
