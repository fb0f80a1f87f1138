// SPDX-License-Identifier: MIT
// PLACEHOLDER: being implemented.
#include "ClipItem.h"
#include "ReferenceDate.h"
namespace Vexilo {
QString ClipItem::previewTitle() const { return textContent(); }
QString ClipItem::previewSnippet() const { return {}; }
int ClipItem::characterCount() const { return 0; }
int ClipItem::wordCount() const { return 0; }
int ClipItem::lineCount() const { return 0; }
QString ClipItem::timeAgoString() const { return timeAgoString(ReferenceDate::now()); }
QString ClipItem::timeAgoString(double) const { return {}; }
QString ClipItem::typeDisplayName() const { return {}; }
QString ClipItem::listTypeBadgeLabel() const { return {}; }
}
