/*
** The Office bridge: CalcAcc fills the cell table, from plain text by
** splitting it, or from a Calc selection by pasting it into a hidden
** scratch spreadsheet on the LibreOffice server and capturing its cells.
*/
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <cppuhelper/bootstrap.hxx>
#include <rtl/ustring.hxx>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/BorderLine.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/TableBorder.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "CalcSDK.h"
#include "CalcCom.h"
#include "FileIo.h"
#include "GtkMain.h"
#include "MsgDisp.h"
#include "Result.h"
#include "VersionGet.h"

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using css::beans::PropertyValue;
using css::beans::XPropertySet;
using rtl::OString;
using rtl::OUString;

static const char ConnectUrl[] =
  "uno:socket,host=localhost,port=2083;urp;StarOffice.ServiceManager";

enum {
  CONNECT_TRIES = 20,    /* attempts to reach the server */
  THICK_WIDTH = 80,      /* a line wider than this is thick */
  PROGRESS_SPAN = 60000  /* progress of the capture, in thousandths */
};

enum { ARG_TEXT, ARG_LONG, ARG_BOOL };   /* UNO type of a paste argument */

typedef struct {
  const char *name;    /* property name, sent exactly as written */
  int kind;            /* ARG_* */
  const char *text;    /* value of an ARG_TEXT */
  sal_Int32 number;    /* value of an ARG_LONG, or 0/1 of an ARG_BOOL */
} PASTE_ARG;

/* The arguments of ".uno:Paste", names sent exactly as written.  The
** server ignores names it does not know, so the misspelt three leave
** its defaults, which are the values given here. */
static const PASTE_ARG PasteArgs[] = {
  /* name              kind      text  number */
  { "Flags",           ARG_TEXT, "A",  0 },   /* everything */
  { "FormulaCommand",  ARG_LONG, NULL, 0 },   /* no operation with the target */
  { "SkipEmptyCells",  ARG_BOOL, NULL, 0 },
  { "Trancepose",      ARG_BOOL, NULL, 0 },
  { "Aslink",          ARG_BOOL, NULL, 0 },
  { "MovrMode",        ARG_LONG, NULL, 4 },
};
enum { PASTE_ARGS = 6 };
static_assert(sizeof PasteArgs / sizeof PasteArgs[0] == PASTE_ARGS,
              "PasteArgs and PASTE_ARGS out of step");

static const float BOLD_WEIGHT = 150.0f;   /* CharWeight from which text is bold */

/* The UNO handles of one conversion, all empty outside CalcAcc. */
static Reference<css::lang::XComponent> ClDoc;        /* the scratch document */
static Reference<css::uno::XInterface> ClManager;     /* remote service manager */
static Reference<css::uno::XComponentContext> ClContext; /* remote context */
static Reference<css::frame::XModel> ClModel;         /* the document's model */
static Reference<css::sheet::XSpreadsheet> ClSheet;   /* its active sheet */
static Reference<css::frame::XDispatchHelper> ClHelper;     /* dispatch helper */
static Reference<css::frame::XDispatchProvider> ClProvider; /* the frame's */
static int CancelSeen = 0;   /* 1: message 3 shown, acknowledge after cleanup */

int Capture_way = CAPTURE_RANGE;   /* the reading CalcAcc uses */
CELL_DATA *Cell_ref = NULL;        /* CAPTURE_BOTH: the per-cell table */
double Capture_secs = 0.0;         /* wall time of the last capture */

/* One group of identically formatted cells in the batched reading. */
typedef struct {
  CELL_DATA look;   /* format fields shared by the group's cells */
  int span_w;       /* >0: each cell anchors a merged area this wide */
  int span_h;       /* ... and this high */
} FORMAT_GROUP;

enum {              /* cell map values besides a group's index */
  GROUP_CELL = -1,  /* in no group: read the per-cell way */
  GROUP_RICH = -2   /* rich text: read the per-cell way */
};

/* One PropertyValue with the given name and value. */
static PropertyValue Prop(const char *name, const Any &value)
{
  PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

/*
** Bootstrap the local UNO context and resolve the remote service manager,
** starting the server once after the first failed attempt and pausing a
** second after each failure but the last.  Returns 0 (ClManager set),
** 110 (no resolver) or 120 after message 35 when no attempt succeeded.
*/
static int OfficeConnect(void)
{
  OUString url = OUString::createFromAscii(ConnectUrl);
  Reference<css::uno::XComponentContext> local =
    cppu::defaultBootstrap_InitialComponentContext();
  Reference<css::lang::XMultiComponentFactory> smgr = local->getServiceManager();
  Reference<css::bridge::XUnoUrlResolver> resolver(
    smgr->createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local),
    UNO_QUERY);

  if (!resolver.is())
    return RC_OFFICE;
  for (int i = 0; i < CONNECT_TRIES; i++) {
    try {
      ClManager = resolver->resolve(url);
      if (ClManager.is())
        return RC_OK;
    } catch (css::uno::Exception &) {
      /* refused or not yet listening: retry below */
    }
    if (i == 0)
      ServerRun(ServerTail);
    if (i == CONNECT_TRIES - 1)
      break;
    sleep(1);
  }
  MessageDisp(MSG_NOSERVER);
  return RC_REPORTED;
}

/*
** Take the remote context, load the scratch spreadsheet (hidden unless
** Evasion is "ON") and collect its model, active sheet, the dispatch
** helper and the frame's dispatch provider.  Returns 0 or 110; a missing
** interface on the way throws and is handled as a UNO failure.
*/
static int ScratchOpen(void)
{
  Reference<XPropertySet> mprops(ClManager, UNO_QUERY_THROW);
  Reference<css::lang::XMultiComponentFactory> rsmgr;
  Reference<css::frame::XComponentLoader> loader;
  Sequence<PropertyValue> load(1);
  bool hidden = wcscmp(Evasion, L"ON") != 0;

  mprops->getPropertyValue("DefaultContext") >>= ClContext;
  if (!ClContext.is())
    return RC_OFFICE;
  rsmgr = ClContext->getServiceManager();
  if (!rsmgr.is())
    return RC_OFFICE;
  ProgressView(10);

  loader.set(rsmgr->createInstanceWithContext("com.sun.star.frame.Desktop",
                                              ClContext), UNO_QUERY);
  if (!loader.is())
    return RC_OFFICE;
  load[0] = Prop("Hidden", Any(hidden));
  ClDoc = loader->loadComponentFromURL("private:factory/scalc", "_blank", 0, load);
  if (!ClDoc.is())
    return RC_OFFICE;
  Reference<css::sheet::XSpreadsheetDocument> sdoc(ClDoc, UNO_QUERY_THROW);
  ClModel.set(ClDoc, UNO_QUERY_THROW);
  Reference<css::frame::XController> ctrl(ClModel->getCurrentController(),
                                          UNO_QUERY_THROW);
  Reference<css::sheet::XSpreadsheetView> view(ctrl, UNO_QUERY_THROW);
  ClSheet.set(view->getActiveSheet(), UNO_QUERY_THROW);

  Reference<css::lang::XMultiServiceFactory> fac(ClManager, UNO_QUERY_THROW);
  ClHelper.set(fac->createInstance("com.sun.star.frame.DispatchHelper"), UNO_QUERY);
  if (!ClHelper.is())
    return RC_OFFICE;
  Reference<css::frame::XFrame> frame = ctrl->getFrame();
  if (!frame.is())
    return RC_OFFICE;
  ClProvider.set(frame, UNO_QUERY);
  if (!ClProvider.is())
    return RC_OFFICE;
  return RC_OK;
}

/*
** Put the cell cursor on A1 and paste the clipboard there.  Sets
** Row_no and Col_no from the selection the paste leaves behind, or sets
** *range to 0 when that selection is not a cell range.  Returns 0.
*/
static int RangePaste(int *range)
{
  Sequence<PropertyValue> go(1);
  Sequence<PropertyValue> paste(PASTE_ARGS);

  go[0] = Prop("ToPoint", Any(OUString("$A$1")));
  ClHelper->executeDispatch(ClProvider, ".uno:GoToCell", "", 0, go);
  Proc_pos = POS_PASTE;

  for (int i = 0; i < PASTE_ARGS; i++) {
    const PASTE_ARG *a = &PasteArgs[i];
    Any v = a->kind == ARG_TEXT ? Any(OUString::createFromAscii(a->text))
          : a->kind == ARG_LONG ? Any(a->number) : Any(a->number != 0);
    paste[i] = Prop(a->name, v);
  }
  ClHelper->executeDispatch(ClProvider, ".uno:Paste", "", 0, paste);
  Proc_pos = POS_CAPTURE;
  Col_no = 0;
  Row_no = 0;

  Reference<css::table::XColumnRowRange> sel(ClModel->getCurrentSelection(),
                                             UNO_QUERY);
  if (!sel.is()) {
    *range = 0;
    return RC_OK;
  }
  Col_no = sel->getColumns()->getCount();
  Row_no = sel->getRows()->getCount();
  *range = 1;
  return RC_OK;
}

/*
** The pasted content is no cell range: after the border question, split
** the clipboard text instead.  Returns 0, 102 after message 3, 101, or
** 120 after message 24 when there is no clipboard text to split.
*/
static int TextFallback(void)
{
  if (clip_data == NULL || clip_data[0] == L'\0') {
    MessageDisp(MSG_CLIP_BAD);
    return RC_REPORTED;
  }
  if (MessageDisp(MSG_BORDER_ASK) != MSG_RESPONSE_OK) {
    MessageDisp(MSG_CANCELLED);
    return RC_CANCEL;
  }
  Allline_flag = 1;
  if (DataDivision(clip_data) != RC_OK)
    return RC_NOMEM;
  return RC_OK;
}

/*
** Check the size of the pasted range, give the cancel button a chance
** and create the table.  Returns 0, 102 after message 3 (an empty paste
** counts as cancelled) or 101.
*/
static int SizeCheck(void)
{
  if (Col_no == 0 || Row_no == 0) {
    MessageDisp(MSG_CANCELLED);
    CancelSeen = 1;
    return RC_CANCEL;
  }
  ProgressView(20);
  Window_Refresh();
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    CancelSeen = 1;
    return RC_CANCEL;
  }
  if (AllocArea() != RC_OK)
    return RC_NOMEM;
  ProgressView(30);
  return RC_OK;
}

/*
** A cell's formula text (its content, or the formula of a formula
** cell) into the record, through UTF-8 and the locale's conversion.
** Returns 0, 101, or 120 after message 25 for a character the locale
** cannot hold.
*/
static int TextStore(const OUString &f, CELL_DATA *rec)
{
  int len = f.getLength();
  OString u8 = OUStringToOString(f, RTL_TEXTENCODING_UTF8);
  size_t n;

  if (CharLenNewAlloc(&rec->cell_str, len) != RC_OK)
    return RC_NOMEM;
  n = mbstowcs(rec->cell_str.str, u8.getStr(), (size_t)len);
  if (n == (size_t)-1) {
    MessageDisp(MSG_BADCHAR);
    return RC_REPORTED;
  }
  rec->cell_str.str[n] = L'\0';   /* mbstowcs leaves it out when n == len */
  return RC_OK;
}

/* The formula text of the cell itself into the record (see TextStore). */
static int CellText(const Reference<css::table::XCell> &cell, CELL_DATA *rec)
{
  return TextStore(cell->getFormula(), rec);
}

/* Float reading of a property: 0 when it is not a number. */
static float FloatGet(const Reference<XPropertySet> &p, const char *name)
{
  float v = 0.0f;
  p->getPropertyValue(OUString::createFromAscii(name)) >>= v;
  return v;
}

/* Int32 reading of a property: def when it is not one. */
static sal_Int32 LongGet(const Reference<XPropertySet> &p, const char *name,
                         sal_Int32 def)
{
  sal_Int32 v = def;
  if (!(p->getPropertyValue(OUString::createFromAscii(name)) >>= v))
    v = def;
  return v;
}

/*
** Alignment from the cell, then the character formatting through a text
** cursor on its text.  A property that cannot be read as its type gives
** the neutral value of plain text: standard alignment, black, upright.
*/
static void CellFormat(const Reference<css::table::XCell> &cell,
                       const Reference<XPropertySet> &cp, CELL_DATA *rec)
{
  css::table::CellHoriJustify hj;
  sal_Int64 vj = 0;
  css::awt::FontSlant slant;
  sal_Int32 color;

  rec->posh = (cp->getPropertyValue("HoriJustify") >>= hj) ? (int64_t)(uint32_t)hj : 0;
  rec->posv = (cp->getPropertyValue("VertJustify") >>= vj) ? (int64_t)vj : 0;

  Reference<css::text::XText> text(cell, UNO_QUERY_THROW);
  Reference<XPropertySet> fp(text->createTextCursor(), UNO_QUERY_THROW);
  color = LongGet(fp, "CharColor", 0);
  rec->font_color = color == -1 ? 0 : color;   /* automatic is black */
  rec->font_size = (int)FloatGet(fp, "CharHeight");
  rec->font_bold = FloatGet(fp, "CharWeight") >= BOLD_WEIGHT ? 1 : 0;
  rec->font_underline = (int)FloatGet(fp, "CharUnderline");
  rec->font_strikethrough = (int)FloatGet(fp, "CharStrikeout");
  rec->font_italic = (fp->getPropertyValue("CharPosture") >>= slant)
                     && slant == css::awt::FontSlant_ITALIC ? 1 : 0;
}

/* Border kind of one line: 2 thick or double, 1 thin, 0 none. */
static int LineKind(const css::table::BorderLine &l)
{
  sal_Int16 in = l.InnerLineWidth, out = l.OuterLineWidth;

  if (in > THICK_WIDTH || out > THICK_WIDTH || (in > 0 && out > 0))
    return 2;
  return in > 0 || out > 0 ? 1 : 0;
}

/* Background colour and the four borders of the cell. */
static void CellFrame(const Reference<XPropertySet> &cp, CELL_DATA *rec)
{
  css::table::TableBorder tb;
  sal_Int32 back = LongGet(cp, "CellBackColor", 0);
  const css::table::BorderLine *side[4] = {   /* left, right, top, bottom */
    &tb.LeftLine, &tb.RightLine, &tb.TopLine, &tb.BottomLine
  };

  rec->back_color = back == -1 ? 0xFFFFFF : back;   /* none is white */
  cp->getPropertyValue("TableBorder") >>= tb;
  for (int s = 0; s < 4; s++) {
    rec->line_color[s] = side[s]->Color;
    rec->line_width[s] = LineKind(*side[s]);
  }
}

static int AreaStore(const css::table::CellRangeAddress &a, int j, int k);

/*
** Merge detection for the cell at row j, column k: when it lies in a
** merged area not yet marked, it is the area's anchor; store the bounds
** and mark every cell of the area.  Returns 0, or 2 when the area
** reaches outside the pasted range.
*/
static int CellMerge(const Reference<css::table::XCell> &cell, int j, int k)
{
  CELL_DATA *anchor = &hyo[Col_no * j + k];

  if (Row_no == 1 && Col_no == 1) {
    anchor->mrg_pos = 0;
    return RC_OK;
  }
  if (anchor->mrg_pos != 0)
    return RC_OK;
  Reference<css::sheet::XSheetCellRange> range(cell, UNO_QUERY_THROW);
  Reference<css::sheet::XSheetCellCursor> cur = ClSheet->createCursorByRange(range);
  if (!cur.is())
    throw css::uno::RuntimeException("no cell cursor");
  cur->collapseToMergedArea();
  Reference<css::sheet::XCellRangeAddressable> addr(cur, UNO_QUERY_THROW);
  return AreaStore(addr->getRangeAddress(), j, k);
}

/*
** The merged area a found from the cell at row j, column k: a single
** cell is no area.  Otherwise the cell is its anchor; store the bounds
** and mark every cell of the area.  Returns 0, or 2 when the area
** reaches outside the pasted range.
*/
static int AreaStore(const css::table::CellRangeAddress &a, int j, int k)
{
  CELL_DATA *anchor = &hyo[Col_no * j + k];

  if (a.StartColumn == a.EndColumn && a.StartRow == a.EndRow)
    return RC_OK;
  anchor->mrg_area[MA_COL0] = a.StartColumn;
  anchor->mrg_area[MA_COL1] = a.EndColumn;
  anchor->mrg_area[MA_ROW0] = a.StartRow;
  anchor->mrg_area[MA_ROW1] = a.EndRow;
  if (a.EndColumn >= Col_no || a.EndRow >= Row_no || a.StartColumn < 0 || a.StartRow < 0)
    return RC_MERGE_OUT;
  for (int m = a.StartRow; m <= a.EndRow; m++)
    for (int l = a.StartColumn; l <= a.EndColumn; l++) {
      CELL_DATA *c = &hyo[Col_no * m + l];
      int colpart = l == a.StartColumn ? 1 : l == a.EndColumn ? 3 : 2;
      int rowpart = m == a.StartRow ? 0 : m == a.EndRow ? 6 : 3;
      c->mrg_pos = colpart + rowpart;
      c->mrg_origin = Col_no * j + k;
    }
  return RC_OK;
}

/* Every field of the cell at row j, column k.  Returns 0, 2, 101, 120. */
static int CellRead(int j, int k)
{
  CELL_DATA *rec = &hyo[Col_no * j + k];
  Reference<css::table::XCell> cell = ClSheet->getCellByPosition(k, j);
  int r;

  if (!cell.is())
    throw css::uno::RuntimeException("no cell");
  if ((r = CellText(cell, rec)) != RC_OK)
    return r;
  Reference<XPropertySet> cp(cell, UNO_QUERY_THROW);
  CellFormat(cell, cp, rec);
  CellFrame(cp, rec);
  return CellMerge(cell, j, k);
}

/*
** After row j: let the window breathe, look at the cancel button and
** move the progress bar.  Returns 0, or 102 after message 3.
*/
static int RowEnd(int j, int step)
{
  Window_Refresh();
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    CancelSeen = 1;
    return RC_CANCEL;
  }
  ProgressView(30 + (j * step) / 1000);
  return RC_OK;
}

/*
** Read every cell of the Row_no x Col_no range at A1 of the scratch
** sheet into hyo, row by row, with the cancel check and the progress
** after each row.  Catches the Office's exceptions itself, so it can
** run on its own once the sheet is open and hyo allocated.
*/
int CellCapture(void)
{
  int step = PROGRESS_SPAN / (Row_no > 0 ? Row_no : 1);
  int r = RC_OK;

  try {
    for (int j = 0; j < Row_no; j++) {
      for (int k = 0; k < Col_no; k++)
        if ((r = CellRead(j, k)) != RC_OK)
          return r;
      if ((r = RowEnd(j, step)) != RC_OK)
        return r;
    }
  } catch (css::uno::Exception &) {
    return RC_OFFICE;
  } catch (...) {
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  return RC_OK;
}

/* The format fields of the group's look into the record. */
static void FormatCopy(CELL_DATA *rec, const CELL_DATA *look)
{
  memcpy(rec->line_width, look->line_width, sizeof rec->line_width);
  memcpy(rec->line_color, look->line_color, sizeof rec->line_color);
  rec->posh = look->posh;
  rec->posv = look->posv;
  rec->font_color = look->font_color;
  rec->font_size = look->font_size;
  rec->font_bold = look->font_bold;
  rec->font_italic = look->font_italic;
  rec->font_underline = look->font_underline;
  rec->font_strikethrough = look->font_strikethrough;
  rec->back_color = look->back_color;
}

/*
** Mark in the cell map every cell of the range whose text carries its
** own character formats: those are read the per-cell way, since their
** font comes from a text cursor, not from the cell's format.
*/
static void RichMark(const Reference<css::sheet::XCellRangesQuery> &q, int *map)
{
  Reference<css::sheet::XSheetCellRanges> rich =
    q->queryContentCells(css::sheet::CellFlags::FORMATTED);
  if (!rich.is())
    throw css::uno::RuntimeException("no rich text query");
  Sequence<css::table::CellRangeAddress> ra = rich->getRangeAddresses();

  for (sal_Int32 i = 0; i < ra.getLength(); i++)
    for (int m = ra[i].StartRow; m <= ra[i].EndRow && m < Row_no; m++)
      for (int l = ra[i].StartColumn; l <= ra[i].EndColumn && l < Col_no; l++)
        if (m >= 0 && l >= 0)
          map[Col_no * m + l] = GROUP_RICH;
}

/*
** Read the group's look and its merge from one of its cells at row j,
** column k, the per-cell way.  The group's cells share every cell
** attribute, merge span included, so when that cell anchors a merged
** area, every cell of the group anchors one of the same size.
*/
static void GroupLook(FORMAT_GROUP *g, int j, int k)
{
  Reference<css::table::XCell> cell = ClSheet->getCellByPosition(k, j);
  if (!cell.is())
    throw css::uno::RuntimeException("no cell");
  Reference<XPropertySet> cp(cell, UNO_QUERY_THROW);
  CellFormat(cell, cp, &g->look);
  CellFrame(cp, &g->look);

  Reference<css::sheet::XSheetCellRange> range(cell, UNO_QUERY_THROW);
  Reference<css::sheet::XSheetCellCursor> cur = ClSheet->createCursorByRange(range);
  if (!cur.is())
    throw css::uno::RuntimeException("no cell cursor");
  cur->collapseToMergedArea();
  Reference<css::sheet::XCellRangeAddressable> addr(cur, UNO_QUERY_THROW);
  css::table::CellRangeAddress a = addr->getRangeAddress();
  g->span_w = g->span_h = 0;
  if ((a.StartColumn != a.EndColumn || a.StartRow != a.EndRow)
      && a.StartColumn == k && a.StartRow == j) {
    g->span_w = a.EndColumn - a.StartColumn + 1;
    g->span_h = a.EndRow - a.StartRow + 1;
  }
}

/*
** Enter group gi in the cell map for each of its cells that is not
** read the per-cell way, and read its look from the first such cell.
** A group of rich-text cells only needs no look.
*/
static void GroupRead(const Reference<css::sheet::XSheetCellRanges> &rs,
                      int gi, FORMAT_GROUP *g, int *map)
{
  Sequence<css::table::CellRangeAddress> ra = rs->getRangeAddresses();
  int fj = -1, fk = -1;

  for (sal_Int32 i = 0; i < ra.getLength(); i++)
    for (int m = ra[i].StartRow; m <= ra[i].EndRow && m < Row_no; m++)
      for (int l = ra[i].StartColumn; l <= ra[i].EndColumn && l < Col_no; l++) {
        int *c = &map[Col_no * m + l];
        if (m < 0 || l < 0 || *c == GROUP_RICH)
          continue;
        *c = gi;
        if (fj < 0) {
          fj = m;
          fk = l;
        }
      }
  if (fj >= 0)
    GroupLook(g, fj, fk);
}

/*
** The cell map (group per cell, GROUP_CELL or GROUP_RICH) and the
** groups of the pasted range: rich-text cells first, then one look per
** group of identically formatted cells.  Returns 0, or 101 after message 10;
** *map and *groups belong to the caller either way.
*/
static int GroupsGet(const Reference<css::table::XCellRange> &range, int **map,
                     FORMAT_GROUP **groups)
{
  size_t n = (size_t)Row_no * (size_t)Col_no;
  Reference<css::sheet::XUniqueCellFormatRangesSupplier> us(range, UNO_QUERY_THROW);
  Reference<css::sheet::XCellRangesQuery> q(range, UNO_QUERY_THROW);
  Reference<css::container::XIndexAccess> ia = us->getUniqueCellFormatRanges();
  sal_Int32 count;

  if (!ia.is())
    throw css::uno::RuntimeException("no format ranges");
  count = ia->getCount();
  *map = (int *)malloc(n * sizeof(int));
  *groups = (FORMAT_GROUP *)calloc(count > 0 ? (size_t)count : 1, sizeof(FORMAT_GROUP));
  if (*map == NULL || *groups == NULL) {
    MessageDisp(MSG_NOMEM);
    return RC_NOMEM;
  }
  for (size_t i = 0; i < n; i++)
    (*map)[i] = GROUP_CELL;   /* a cell in no group is read by itself */
  RichMark(q, *map);
  for (sal_Int32 g = 0; g < count; g++) {
    Reference<css::sheet::XSheetCellRanges> rs(ia->getByIndex(g), UNO_QUERY_THROW);
    GroupRead(rs, g, &(*groups)[g], *map);
  }
  return RC_OK;
}

/*
** Every field of the cell at row j, column k from its text f and its
** group's look, the per-cell way for cells outside any group.  Returns
** 0, 2, 101 or 120, as CellRead does.
*/
static int BatchRead(const OUString &f, int j, int k, const int *map,
                     const FORMAT_GROUP *groups)
{
  CELL_DATA *rec = &hyo[Col_no * j + k];
  int gi = map[Col_no * j + k];
  css::table::CellRangeAddress a;
  int r;

  if (gi < 0)
    return CellRead(j, k);
  if ((r = TextStore(f, rec)) != RC_OK)
    return r;
  FormatCopy(rec, &groups[gi].look);
  if (Row_no == 1 && Col_no == 1) {
    rec->mrg_pos = 0;
    return RC_OK;
  }
  if (rec->mrg_pos != 0 || groups[gi].span_w == 0)
    return RC_OK;
  a.Sheet = 0;
  a.StartColumn = k;
  a.StartRow = j;
  a.EndColumn = k + groups[gi].span_w - 1;
  a.EndRow = j + groups[gi].span_h - 1;
  return AreaStore(a, j, k);
}

/*
** The batched reading of the Row_no x Col_no range at A1 into hyo: all
** texts in one call, cell and character formats once per group of
** identically formatted cells, merged areas from the groups' spans, and
** rich-text cells the per-cell way.  Fills the same fields, in the same
** cell order, with the same messages, results, cancel checks and
** progress as CellCapture.  Never throws.
*/
int RangeCapture(void)
{
  int step = PROGRESS_SPAN / (Row_no > 0 ? Row_no : 1);
  int *map = NULL;
  FORMAT_GROUP *groups = NULL;
  int r = RC_OK;

  try {
    Reference<css::table::XCellRange> range =
      ClSheet->getCellRangeByPosition(0, 0, Col_no - 1, Row_no - 1);
    Reference<css::sheet::XCellRangeFormula> fr(range, UNO_QUERY_THROW);
    Sequence<Sequence<OUString>> texts = fr->getFormulaArray();

    if (texts.getLength() != Row_no)
      throw css::uno::RuntimeException("formula array of another size");
    r = GroupsGet(range, &map, &groups);
    for (int j = 0; r == RC_OK && j < Row_no; j++) {
      const Sequence<OUString> &row = texts[j];
      if (row.getLength() != Col_no)
        throw css::uno::RuntimeException("formula array of another size");
      for (int k = 0; r == RC_OK && k < Col_no; k++)
        r = BatchRead(row[k], j, k, map, groups);
      if (r == RC_OK)
        r = RowEnd(j, step);
    }
  } catch (css::uno::Exception &) {
    r = RC_OFFICE;
  } catch (...) {
    MessageDisp(MSG_NOMEM);
    r = RC_NOMEM;
  }
  free(map);
  free(groups);
  return r;
}

/* Release the per-cell table kept beside hyo by CAPTURE_BOTH. */
void CellRefFree(void)
{
  long long n = (long long)Col_no * Row_no;

  for (long long i = 0; Cell_ref != NULL && i < n; i++)
    if (Cell_ref[i].cell_str.size != -1)
      CharLenFree(&Cell_ref[i].cell_str);
  free(Cell_ref);
  Cell_ref = NULL;
}

/*
** Capture the pasted range the way Capture_way asks.  CAPTURE_BOTH runs
** the per-cell reading, keeps its table as Cell_ref and then runs the
** batched one into a fresh hyo.  Returns what the reading returns.
*/
static int CaptureWay(void)
{
  int r;

  if (Capture_way == CAPTURE_CELL)
    return CellCapture();
  if (Capture_way == CAPTURE_BOTH) {
    if ((r = CellCapture()) != RC_OK)
      return r;
    CellRefFree();
    Cell_ref = hyo;
    hyo = NULL;
    Area_pos = 0;
    if ((r = AllocArea()) != RC_OK)
      return r;
  }
  return RangeCapture();
}

/* Seconds on the monotonic clock. */
static double Now(void)
{
  struct timespec t;

  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* CaptureWay, with its wall time kept in Capture_secs. */
static int CaptureRun(void)
{
  double t0 = Now();
  int r = CaptureWay();

  Capture_secs = Now() - t0;
  return r;
}

/* Release every UNO handle of the conversion. */
static void HandlesDrop(void)
{
  ClProvider.clear();
  ClHelper.clear();
  ClSheet.clear();
  ClModel.clear();
  ClContext.clear();
  ClDoc.clear();
  ClManager.clear();
}

/*
** Close the scratch document after a complete capture and look at the
** cancel button once more.  Returns 0, 110 (table freed) or 102.
*/
static int CaptureEnd(void)
{
  ProgressView(90);
  if (CalcEnd() != RC_OK)
    return RC_OFFICE;
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    FreeArea();
    Break_flag = BREAK_CLOSE;
    return RC_CANCEL;
  }
  return RC_OK;
}

/*
** Office path of CalcAcc: connection, scratch document, paste, capture.
** Every way out after the connection stage began closes the document
** and frees the table, except the unanswered connection (message 35).
*/
static int CalcOffice(void)
{
  int r, range = 1;

  CancelSeen = 0;
  Proc_pos = POS_CONNECT;
  try {
    r = OfficeConnect();
    if (r == RC_REPORTED) {
      HandlesDrop();
      return r;
    }
    if (r == RC_OK) {
      Proc_pos = POS_CONNECTED;
      r = ScratchOpen();
    }
    if (r == RC_OK)
      r = RangePaste(&range);
    if (r == RC_OK && !range)
      r = TextFallback();
    else if (r == RC_OK) {
      r = SizeCheck();
      if (r == RC_OK)
        r = CaptureRun();
    }
  } catch (cppu::BootstrapException &) {
    r = RC_OFFICE;
  } catch (css::uno::Exception &) {
    r = RC_OFFICE;
  } catch (...) {
    MessageDisp(MSG_NOMEM);
    r = RC_NOMEM;
  }

  if (r == RC_OK && !range) {
    ProgressView(90);
    r = CalcEnd();
  } else if (r == RC_OK) {
    r = CaptureEnd();
  } else {
    CalcEnd();
    FreeArea();
    if (CancelSeen)
      Break_flag = BREAK_CLOSE;
  }
  HandlesDrop();
  return r;
}

/*
** Fill the cell table from the clipboard.  Returns 0 with hyo filled,
** 2 for a merged area outside the pasted range, 101, 102 (message 3
** shown), 110 (nothing shown; the driver reports by Proc_pos) or 120.
*/
int CalcAcc(void)
{
  Proc_pos = POS_START;
  Window_Refresh();
  if (Break_flag == BREAK_ASKED) {
    MessageDisp(MSG_CANCELLED);
    Break_flag = BREAK_CLOSE;
    return RC_CANCEL;
  }
  if (text_flag == TEXT_PLAIN || text_flag == TEXT_UTF8) {
    if (DataDivision(clip_data != NULL ? clip_data : L"") != RC_OK) {
      FreeArea();
      return RC_NOMEM;
    }
    ProgressView(90);
    return RC_OK;
  }
  return CalcOffice();
}

/*
** Close the scratch document, if one is open.  Returns 0, or 110 with
** the table freed when the close fails; ClDoc then keeps its value.
*/
int CalcEnd(void)
{
  try {
    Reference<css::util::XCloseable> c(ClDoc, UNO_QUERY);
    if (c.is()) {
      c->close(false);
      ClDoc.clear();
    }
  } catch (cppu::BootstrapException &) {
    FreeArea();
    return RC_OFFICE;
  } catch (css::uno::Exception &) {
    FreeArea();
    return RC_OFFICE;
  }
  Window_Refresh();
  return RC_OK;
}
