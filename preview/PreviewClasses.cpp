#include "preview/PreviewClasses.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

namespace vc::preview {

namespace {

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

// The registered classes: the component library's (TTable and TOutline are
// registered twice) and the program's own widgets, which forms of this
// program name by these class names.
const ClassInfo kClasses[] = {
    {"TActionList", Kind::NonVisual}, {"TApplication", Kind::NonVisual},
    {"TAutoIncField", Kind::NonVisual}, {"TBatchMove", Kind::NonVisual},
    {"TBCDField", Kind::NonVisual}, {"TBevel", Kind::Bevel}, {"TBitBtn", Kind::BitBtn},
    {"TBitmap", Kind::NonVisual}, {"TBlobField", Kind::NonVisual},
    {"TBooleanField", Kind::NonVisual}, {"TBrush", Kind::NonVisual}, {"TButton", Kind::Button},
    {"TBytesField", Kind::NonVisual}, {"TCanvas", Kind::NonVisual}, {"TCheckBox", Kind::CheckBox},
    {"TClipboard", Kind::NonVisual}, {"TCollection", Kind::NonVisual},
    {"TCollectionItem", Kind::NonVisual}, {"TColorDialog", Kind::NonVisual},
    {"TColumn", Kind::NonVisual}, {"TColumnTitle", Kind::NonVisual}, {"TComboBox", Kind::ComboBox},
    {"TControlScrollBar", Kind::NonVisual}, {"TCoolBar", Kind::Panel},
    {"TCurrencyField", Kind::NonVisual}, {"TDatabase", Kind::NonVisual},
    {"TDataSource", Kind::NonVisual}, {"TDateField", Kind::NonVisual},
    {"TDateTimeField", Kind::NonVisual}, {"TDBCheckBox", Kind::CheckBox},
    {"TDBComboBox", Kind::ComboBox}, {"TDBCtrlGrid", Kind::Panel}, {"TDBEdit", Kind::Edit},
    {"TDBGrid", Kind::Grid}, {"TDBImage", Kind::Image}, {"TDBListBox", Kind::ListBox},
    {"TDBLookupCombo", Kind::ComboBox}, {"TDBLookupComboBox", Kind::ComboBox},
    {"TDBLookupList", Kind::ListBox}, {"TDBLookupListBox", Kind::ListBox},
    {"TDBMemo", Kind::Memo}, {"TDBNavigator", Kind::Control}, {"TDBRadioGroup", Kind::RadioGroup},
    {"TDBText", Kind::Label}, {"TDdeClientConv", Kind::NonVisual},
    {"TDdeClientItem", Kind::NonVisual}, {"TDdeServerConv", Kind::NonVisual},
    {"TDdeServerItem", Kind::NonVisual}, {"TDirectoryListBox", Kind::ListBox},
    {"TDrawGrid", Kind::Grid}, {"TDriveComboBox", Kind::ComboBox}, {"TEdit", Kind::Edit},
    {"TField", Kind::NonVisual}, {"TFileListBox", Kind::ListBox},
    {"TFilterComboBox", Kind::ComboBox}, {"TFindDialog", Kind::NonVisual},
    {"TFloatField", Kind::NonVisual}, {"TFont", Kind::NonVisual},
    {"TFontDialog", Kind::NonVisual}, {"TForm", Kind::Form}, {"TGraphic", Kind::NonVisual},
    {"TGraphicField", Kind::NonVisual}, {"TGraphicsObject", Kind::NonVisual},
    {"TGroupBox", Kind::GroupBox}, {"THeader", Kind::Header}, {"THeaderControl", Kind::Header},
    {"THeaderSection", Kind::NonVisual}, {"THeaderSections", Kind::NonVisual},
    {"THotKey", Kind::Edit}, {"TIcon", Kind::NonVisual}, {"TIconOptions", Kind::NonVisual},
    {"TImage", Kind::Image}, {"TImageList", Kind::NonVisual}, {"TIntegerField", Kind::NonVisual},
    {"TLabel", Kind::Label}, {"TListBox", Kind::ListBox}, {"TListColumn", Kind::NonVisual},
    {"TListItem", Kind::NonVisual}, {"TListItems", Kind::NonVisual},
    {"TListView", Kind::ListView}, {"TMainMenu", Kind::MainMenu}, {"TMaskEdit", Kind::Edit},
    {"TMediaPlayer", Kind::Control}, {"TMemo", Kind::Memo}, {"TMemoField", Kind::NonVisual},
    {"TMenuItem", Kind::MenuItem}, {"TMetafile", Kind::NonVisual},
    {"TMetafileCanvas", Kind::NonVisual}, {"TNotebook", Kind::Panel},
    {"TOleContainer", Kind::Control}, {"TOpenDialog", Kind::NonVisual},
    {"TOutline", Kind::ListBox}, {"TOutline", Kind::ListBox}, {"TOutlineNode", Kind::NonVisual},
    {"TPageControl", Kind::PageControl}, {"TPaintBox", Kind::Control}, {"TPanel", Kind::Panel},
    {"TParaAttributes", Kind::NonVisual}, {"TParams", Kind::NonVisual}, {"TPen", Kind::NonVisual},
    {"TPicture", Kind::NonVisual}, {"TPopupMenu", Kind::NonVisual},
    {"TPrintDialog", Kind::NonVisual}, {"TPrinterSetupDialog", Kind::NonVisual},
    {"TProgressBar", Kind::ProgressBar}, {"TQuery", Kind::NonVisual},
    {"TRadioButton", Kind::RadioButton}, {"TRadioGroup", Kind::RadioGroup},
    {"TReplaceDialog", Kind::NonVisual}, {"TRichEdit", Kind::Memo},
    {"TSaveDialog", Kind::NonVisual}, {"TScreen", Kind::NonVisual}, {"TScrollBar", Kind::ScrollBar},
    {"TScrollBox", Kind::ScrollBox}, {"TSession", Kind::NonVisual}, {"TShape", Kind::Shape},
    {"TSmallintField", Kind::NonVisual}, {"TSpeedButton", Kind::SpeedButton},
    {"TSplitter", Kind::Splitter}, {"TStaticText", Kind::StaticText},
    {"TStatusBar", Kind::StatusBar}, {"TStatusPanel", Kind::NonVisual},
    {"TStatusPanels", Kind::NonVisual}, {"TStoredProc", Kind::NonVisual},
    {"TStringField", Kind::NonVisual}, {"TStringGrid", Kind::Grid},
    {"TStringList", Kind::NonVisual}, {"TStrings", Kind::NonVisual},
    {"TTabbedNotebook", Kind::Panel}, {"TTabControl", Kind::TabControl},
    {"TTable", Kind::NonVisual}, {"TTable", Kind::NonVisual}, {"TTabSet", Kind::TabControl},
    {"TTabSheet", Kind::TabSheet}, {"TTimeField", Kind::NonVisual}, {"TTimer", Kind::NonVisual},
    {"TToolBar", Kind::ToolBar}, {"TToolButton", Kind::ToolButton},
    {"TTrackBar", Kind::TrackBar}, {"TTreeNode", Kind::NonVisual},
    {"TTreeNodes", Kind::NonVisual}, {"TTreeView", Kind::TreeView},
    {"TUpdateSQL", Kind::NonVisual}, {"TUpDown", Kind::Control},
    {"TVarBytesField", Kind::NonVisual}, {"TWordField", Kind::NonVisual},
    // The program's own widgets.
    {"TVcFlatCheckBox", Kind::CheckBox}, {"TVcFlatRadioButton", Kind::RadioButton},
    {"TVcGroupBox", Kind::GroupBox}, {"TVcLabel", Kind::Label},
    {"TDfmHighlighter", Kind::NonVisual}, {"TVcEdit", Kind::Edit},
    {"TVcDockSeparator", Kind::Control}, {"TVcDock", Kind::Panel},
    {"TVcDockToolbar", Kind::ToolBar}, {"TVcDockButton", Kind::ToolButton},
    {"TCodeEditor", Kind::Memo}, {"THtmlHighlighter", Kind::NonVisual},
    {"TPlainHighlighter", Kind::NonVisual},
};

// Registered, but not components: no object of a form is made of them.
const char* const kNotComponents[] = {
    "TBITMAP", "TBRUSH", "TCANVAS", "TCLIPBOARD", "TCOLLECTION", "TCOLLECTIONITEM",
    "TCOLUMN", "TCOLUMNTITLE", "TCONTROLSCROLLBAR", "TFONT", "TGRAPHIC", "TGRAPHICSOBJECT",
    "THEADERSECTION", "THEADERSECTIONS", "TICON", "TICONOPTIONS", "TLISTCOLUMN", "TLISTITEM",
    "TLISTITEMS", "TMETAFILE", "TMETAFILECANVAS", "TOUTLINENODE", "TPARAATTRIBUTES", "TPARAMS",
    "TPEN", "TPICTURE", "TSTATUSPANEL", "TSTATUSPANELS", "TSTRINGLIST", "TSTRINGS", "TTREENODE",
    "TTREENODES",
};

// Property names as real forms use them, per class.
struct NamesRow {
  const char* cls;
  const char* names;
};
const NamesRow kCorpusNames[] = {
#include "preview/PropertyNames.inc"
};

const char* const kEvents =
    "OnActivate OnAlignInsertBefore OnAlignPosition OnCanResize OnChange OnChanging OnClick "
    "OnClose OnCloseQuery OnConstrainedResize OnContextPopup OnCreate OnDblClick OnDeactivate "
    "OnDestroy OnDockDrop OnDockOver OnDragDrop OnDragOver OnDrawItem OnDropDown OnEndDock "
    "OnEndDrag OnEnter OnExit OnGesture OnGetSiteInfo OnHelp OnHide OnKeyDown OnKeyPress OnKeyUp "
    "OnMeasureItem OnMouseActivate OnMouseDown OnMouseEnter OnMouseLeave OnMouseMove OnMouseUp "
    "OnMouseWheel OnMouseWheelDown OnMouseWheelUp OnPaint OnResize OnSelect OnShortCut OnShow "
    "OnStartDock OnStartDrag OnTimer OnUnDock OnPopup OnAdvancedDrawItem OnDrawTab OnGetImageIndex "
    "OnColumnClick OnCompare OnEdited OnEditing OnExpanded OnExpanding OnCollapsed OnCollapsing "
    "OnDrawCell OnSelectCell OnSetEditText OnGetEditText OnTopLeftChanged OnScroll OnMoved "
    "OnDrawPanel OnHint OnUpdate OnExecute OnCloseUp OnSectionClick OnSectionResize OnDataChange "
    "OnStateChange OnUpdateData OnCalcFields OnNewRecord OnGetText OnSetText OnValidate "
    "OnAfterMonitorDpiChanged OnBeforeMonitorDpiChanged";

const char* const kComponent = "Name Tag Left Top DesignInfo";

const char* const kControl =
    "Left Top Width Height Align AlignWithMargins Anchors AutoSize BiDiMode Caption Color "
    "Constraints Cursor CustomHint DockSite DoubleBuffered DragCursor DragKind DragMode Enabled "
    "Font Hint HelpContext HelpKeyword HelpType Margins Padding ParentBiDiMode ParentColor "
    "ParentCtl3D Ctl3D ParentCustomHint ParentDoubleBuffered ParentFont ParentShowHint "
    "ParentBackground PopupMenu ShowHint StyleElements StyleName TabOrder TabStop Tag Touch "
    "Visible ExplicitLeft ExplicitTop ExplicitWidth ExplicitHeight DesignSize IsControl Action "
    "ImeMode ImeName BevelEdges BevelInner BevelKind BevelOuter BevelWidth BorderWidth "
    "UseDockManager Text Transparent";

const char* const kForm =
    "Action ActiveControl Align AlignWithMargins AlphaBlend AlphaBlendValue Anchors AutoScroll "
    "AutoSize BiDiMode BorderIcons BorderStyle BorderWidth Caption ClientHeight ClientWidth Color "
    "Constraints Ctl3D Cursor CustomHint CustomTitleBar DefaultMonitor DockSite DoubleBuffered "
    "DragKind DragMode Enabled Font FormStyle GlassFrame Height HelpContext HelpFile HelpKeyword "
    "HelpType Hint HorzScrollBar Icon KeyPreview Left Margins Menu ObjectMenuItem OldCreateOrder "
    "Padding ParentBiDiMode ParentFont PixelsPerInch PopupMenu PopupMode PopupParent Position "
    "PrintScale Scaled ScreenSnap ShowHint SnapBuffer StyleElements StyleName Tag TextHeight Top "
    "TransparentColor TransparentColorValue Touch UseDockManager VertScrollBar Visible Width "
    "WindowMenu WindowState ExplicitLeft ExplicitTop ExplicitWidth ExplicitHeight DesignSize "
    "ParentBackground ParentColor ParentCtl3D ParentShowHint TabOrder TabStop HorizontalOffset "
    "VerticalOffset Name TipMode";

struct KindExtras {
  Kind kind;
  const char* names;
};
const KindExtras kKindExtras[] = {
    {Kind::Label, "Alignment Layout FocusControl ShowAccelChar Transparent WordWrap "
                  "EllipsisPosition GlowSize DataField DataSource"},
    {Kind::Button, "Cancel Default ModalResult WordWrap Images ImageIndex ImageAlignment "
                   "ImageMargins DisabledImageIndex HotImageIndex PressedImageIndex "
                   "SelectedImageIndex Style CommandLinkHint ElevationRequired DropDownMenu"},
    {Kind::BitBtn, "Cancel Default ModalResult WordWrap Glyph Kind Layout Margin NumGlyphs "
                   "Spacing Style"},
    {Kind::SpeedButton, "AllowAllUp Down Flat Glyph GroupIndex Layout Margin NumGlyphs "
                        "Spacing Transparent Images ImageIndex"},
    {Kind::Edit, "AutoSelect BorderStyle CharCase HideSelection MaxLength OEMConvert "
                 "PasswordChar ReadOnly TextHint NumbersOnly Alignment EditMask DataField "
                 "DataSource HotKey InvalidKeys Modifiers"},
    {Kind::Memo, "Alignment BorderStyle HideSelection Lines MaxLength OEMConvert ReadOnly "
                 "ScrollBars WantReturns WantTabs WordWrap PlainText DataField DataSource"},
    {Kind::CheckBox, "Alignment AllowGrayed Checked State WordWrap DataField DataSource "
                     "ValueChecked ValueUnchecked"},
    {Kind::RadioButton, "Alignment Checked WordWrap"},
    {Kind::RadioGroup, "Columns ItemIndex Items WordWrap DataField DataSource Values"},
    {Kind::Panel, "Alignment BevelInner BevelOuter BevelWidth BorderStyle FullRepaint Locked "
                  "ShowCaption VerticalAlignment"},
    {Kind::Bevel, "Shape Style"},
    {Kind::ListBox, "BorderStyle Columns ExtendedSelect IntegralHeight ItemHeight ItemIndex "
                    "Items MultiSelect Sorted Style TabWidth AutoComplete DataField DataSource"},
    {Kind::ComboBox, "AutoComplete AutoDropDown CharCase DropDownCount ItemHeight ItemIndex "
                     "Items MaxLength Sorted Style DataField DataSource"},
    {Kind::PageControl, "ActivePage HotTrack Images MultiLine OwnerDraw RaggedRight "
                        "ScrollOpposite Style TabHeight TabIndex TabPosition TabWidth"},
    {Kind::TabControl, "HotTrack Images MultiLine OwnerDraw RaggedRight ScrollOpposite Style "
                       "TabHeight TabIndex TabPosition TabWidth Tabs"},
    {Kind::TabSheet, "Highlighted ImageIndex PageIndex TabVisible PageControl"},
    {Kind::StatusBar, "AutoHint Panels SimplePanel SimpleText SizeGrip UseSystemFont"},
    {Kind::MainMenu, "AutoHotkeys AutoLineReduction AutoMerge Images OwnerDraw Items"},
    {Kind::MenuItem, "AutoCheck AutoHotkeys AutoLineReduction Bitmap Break Caption Checked "
                     "Default Enabled GroupIndex HelpContext Hint ImageIndex RadioItem ShortCut "
                     "SubMenuImages Visible"},
    {Kind::Image, "Center IncrementalDisplay Picture Proportional Stretch Transparent"},
    {Kind::Shape, "Brush Pen Shape"},
    {Kind::Splitter, "AutoSnap Beveled MinSize ResizeStyle"},
    {Kind::ScrollBox, "AutoScroll BorderStyle HorzScrollBar VertScrollBar"},
    {Kind::Grid, "BorderStyle ColCount DefaultColWidth DefaultDrawing DefaultRowHeight FixedColor "
                 "FixedCols FixedRows GridLineWidth Options RowCount ScrollBars ColWidths "
                 "RowHeights Columns DataSource TitleFont ReadOnly"},
    {Kind::ListView, "Columns Items ViewStyle ReadOnly RowSelect GridLines ShowColumnHeaders "
                     "LargeImages SmallImages IconOptions HideSelection MultiSelect Checkboxes "
                     "FlatScrollBars ColumnClick BorderStyle HotTrack SortType"},
    {Kind::TreeView, "Items AutoExpand ChangeDelay HideSelection HotTrack Images Indent ReadOnly "
                     "RightClickSelect RowSelect ShowButtons ShowLines ShowRoot SortType "
                     "StateImages ToolTips BorderStyle"},
    {Kind::ProgressBar, "Max Min Orientation Position Smooth Step BarColor BackgroundColor "
                        "MarqueeInterval State Style"},
    {Kind::TrackBar, "Frequency LineSize Max Min Orientation PageSize Position SelEnd SelStart "
                     "SliderVisible ThumbLength TickMarks TickStyle"},
    {Kind::ScrollBar, "Kind LargeChange Max Min PageSize Position SmallChange"},
    {Kind::ToolBar, "ButtonHeight ButtonWidth EdgeBorders EdgeInner EdgeOuter Flat Images "
                    "HotImages DisabledImages Indent List ShowCaptions Transparent Wrapable"},
    {Kind::ToolButton, "AllowAllUp Down DropdownMenu Grouped ImageIndex Indeterminate Marked "
                       "MenuItem Style Wrap"},
    {Kind::StaticText, "Alignment BorderStyle FocusControl ShowAccelChar Transparent"},
    {Kind::Header, "Sections HotTrack Images Style"},
};

// Object-valued properties and the names of their own properties.
struct Nested {
  const char* head;
  const char* names;
};
const Nested kNested[] = {
    {"Font", "Charset Color Height Name Orientation Pitch Size Style Quality"},
    {"TitleFont", "Charset Color Height Name Orientation Pitch Size Style Quality"},
    {"Constraints", "MaxHeight MaxWidth MinHeight MinWidth"},
    {"Margins", "Left Top Right Bottom"},
    {"Padding", "Left Top Right Bottom"},
    {"ImageMargins", "Left Top Right Bottom"},
    {"GlassFrame", "Enabled Left Top Right Bottom SheetOfGlass"},
    {"Lines", "Strings"}, {"Items", "Strings NodeData Data"}, {"Tabs", "Strings"},
    {"SQL", "Strings"}, {"Strings", "Strings"},
    {"Picture", "Data"}, {"Glyph", "Data"}, {"Bitmap", "Data"}, {"Icon", "Data"},
    {"Brush", "Color Style Bitmap"}, {"Pen", "Color Mode Style Width"},
    {"HorzScrollBar", "ButtonSize Color Increment Margin ParentColor Position Range Size Smooth "
                      "Style ThumbSize Tracking Visible"},
    {"VertScrollBar", "ButtonSize Color Increment Margin ParentColor Position Range Size Smooth "
                      "Style ThumbSize Tracking Visible"},
    {"Touch", "GestureManager InteractiveGestures InteractiveGestureOptions ParentTabletOptions "
              "TabletOptions"},
    {"IconOptions", "Arrangement AutoArrange WrapText"},
    {"CustomTitleBar", "Enabled Height ShowCaption ShowIcon SystemButtons SystemColors "
                       "SystemHeight"},
};

void addWords(std::set<std::string>& out, const char* words) {
  std::istringstream in(words);
  std::string w;
  while (in >> w) out.insert(upper(w));
}

struct Tables {
  std::map<std::string, std::set<std::string>> byClass;  // upper class name
  std::set<std::string> form;
  std::map<std::string, std::set<std::string>> nested;   // upper head
  std::set<std::string> events;
};

const Tables& tables() {
  static const Tables t = [] {
    Tables t;
    addWords(t.events, kEvents);
    for (const Nested& n : kNested) addWords(t.nested[upper(n.head)], n.names);
    addWords(t.form, kForm);
    addWords(t.form, kEvents);
    for (const ClassInfo& c : kClasses) {
      auto& set = t.byClass[upper(c.name)];
      addWords(set, kComponent);
      if (c.kind != Kind::NonVisual && c.kind != Kind::MenuItem && c.kind != Kind::MainMenu) {
        addWords(set, kControl);
        addWords(set, kEvents);
      }
      for (const KindExtras& e : kKindExtras)
        if (e.kind == c.kind) addWords(set, e.names);
    }
    for (const NamesRow& r : kCorpusNames) addWords(t.byClass[r.cls], r.names);
    return t;
  }();
  return t;
}

bool hasPrefix(const std::set<std::string>& set, const std::string& head) {
  auto it = set.lower_bound(head + ".");
  return it != set.end() && it->compare(0, head.size() + 1, head + ".") == 0;
}

}  // namespace

const ClassInfo* findClass(std::string_view name) {
  const std::string u = upper(name);
  for (const char* n : kNotComponents)
    if (u == n) return nullptr;
  for (const ClassInfo& c : kClasses)
    if (upper(c.name) == u) return &c;
  return nullptr;
}

int registeredClassCount() { return static_cast<int>(std::size(kClasses)); }

bool isEventName(std::string_view name) { return tables().events.count(upper(name)) != 0; }

PropertyCheck checkProperty(const ClassInfo& info, bool root, std::string_view path) {
  const Tables& t = tables();
  const std::set<std::string>& names = root ? t.form : t.byClass.at(upper(info.name));
  const std::string p = upper(path);
  if (names.count(p)) return PropertyCheck::Known;
  const std::size_t dot = p.find('.');
  if (dot == std::string::npos) return PropertyCheck::NoSuchProperty;
  const std::string head = p.substr(0, dot);
  const std::string rest = p.substr(dot + 1);
  auto nested = t.nested.find(head);
  const bool headIsObject = nested != t.nested.end() || hasPrefix(names, head);
  if (!names.count(head) && !hasPrefix(names, head)) return PropertyCheck::NoSuchProperty;
  if (!headIsObject) return PropertyCheck::InvalidPath;
  if (nested != t.nested.end()) {
    if (nested->second.count(rest)) return PropertyCheck::Known;
    if (rest.find('.') != std::string::npos &&
        nested->second.count(rest.substr(0, rest.find('.'))))
      return PropertyCheck::InvalidPath;
  }
  return PropertyCheck::NoSuchProperty;
}

}  // namespace vc::preview
