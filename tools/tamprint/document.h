// The documents the print tool prints: a small JSON description of pages,
// or the built-in sample.
//
//   {
//     "title": "Quarterly report",        the document's name in the queue
//     "pages": [                          1 to 10000 pages, in order
//       {},                               a page with the document's settings
//       {"orientation": "landscape"}      a page turned ("portrait" or "landscape")
//     ]
//   }
//
// "pages" may also be a count: "pages": 12 prints twelve pages with the
// document's settings. A page's own orientation reaches the driver as an
// application's does: the document's settings with dmOrientation changed,
// through ResetDC before the page. The driver keeps a job's paper for all
// its pages, so pages take no paper of their own. Comments (// and /* */)
// are allowed; any other key is refused, so that a misspelt key does not go
// unnoticed.
//
// A page's "draw" list holds its shapes, drawn in order (shapes.h): lines,
// polylines, rectangles, rounded rectangles, ellipses, arcs, polygons,
// Bezier curves and paths with their pens and brushes, in points from the
// top-left corner of the page, and its text items (textitems.h): strings
// and flowing blocks of text in a font, colour and alignment of their own;
// and its pictures (pictures.h): PNG and BMP images and gradients. A
// mistake in an item (a missing or unreadable image file among them) is
// reported with the line of the document it is on.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings.h"
#include "shapes.h"

namespace tamprint {

constexpr int kMaxPages = 10000;

struct PageDescription {
    std::optional<SHORT> orientation;
    std::vector<DrawItem> draw;
};

struct Document {
    std::string title;                   // UTF-8
    bool titled = false;                 // the description gave the title
    std::vector<PageDescription> pages;  // at least one
    std::string source;                  // the file, or "built-in sample"
};

// The built-in sample: "Korvan sample" with `pages` pages: a page of shapes,
// two pages of text, a page of pictures, and blank pages after them.
Document SampleDocument(int pages = 4);

// Parses a description; `name` prefixes the messages. False with a message
// (with the line and column of a syntax error) when it is not one. Image
// files named by a relative path are read from `folder` (the working
// folder when it is empty).
bool ParseDocument(std::string_view text, const std::string& name, Document& document, std::string& error,
                   const std::string& folder = {});

// Reads and parses a description from a file ("-" for standard input).
bool LoadDocument(const std::string& path, Document& document, std::string& error);

}  // namespace tamprint
