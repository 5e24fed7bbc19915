#pragma once
// The widget set: thin subclasses of Qt widgets that the pages are built from.
//
//   TPickEdit        drop-down edit, free text or pick-only (PickEdit.h)
//   TCheckEdit       check box (CheckEdit.h)
//   TDateEdit        date editor with a calendar (DateEdit.h)
//   TButtonEdit      edit field with a button at its right end (ButtonEdit.h)
//   TMemo            multi-line text, read with CR LF line breaks (Memo.h)
//   TStyleController the shared edit style of a page (StyleController.h)
//   TDataGrid        data grid with a footer of totals, fed a TGridData (DataGrid.h)
//   TShape           badges, bars and frames (Shape.h)
//   TBitBtn          button with a stock glyph; the close kind closes its window (BitBtn.h)
//   TImageList       equally sized pictures by index (ImageList.h)
//
// Events.h: change handlers may throw. An error raised while a program assigns a
// value comes out of that assignment; one raised by a user's change reaches the
// application's exception handling through a posted event.
//
// Every editor has OnChange (a std::function): it fires after a real change of the
// value by the user or by a program, never for an assignment of the value it holds.

#include "widgets/BitBtn.h"
#include "widgets/ButtonEdit.h"
#include "widgets/CheckEdit.h"
#include "widgets/DataGrid.h"
#include "widgets/DateEdit.h"
#include "widgets/Events.h"
#include "widgets/ImageList.h"
#include "widgets/Memo.h"
#include "widgets/PickEdit.h"
#include "widgets/Shape.h"
#include "widgets/StyleController.h"
