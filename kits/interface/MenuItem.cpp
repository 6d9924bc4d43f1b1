#include <MenuItem.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <Menu.h>
#include <Message.h>
#include <OS.h>
#include <String.h>
#include <Window.h>

namespace {

char*
CopyLabel(const char* label)
{
	return strdup(label != NULL ? label : "");
}

} // namespace

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers) :
	BInvoker(message, NULL, NULL),
	fLabel(CopyLabel(label)),
	fSubmenu(NULL),
	fMenu(NULL),
	fModifiers(modifiers),
	fShortcut(shortcut),
	fTrigger(0),
	fMarked(false),
	fEnabled(true),
	fSelected(false)
{
}

BMenuItem::BMenuItem(BMenu* menu, BMessage* message) :
	BInvoker(message, NULL, NULL),
	fLabel(NULL),
	fSubmenu(menu),
	fMenu(NULL),
	fModifiers(0),
	fShortcut(0),
	fTrigger(0),
	fMarked(false),
	fEnabled(true),
	fSelected(false)
{
	const char* label = NULL;
	if (menu != NULL) {
		menu->fSuperitem = this;
		BMenuItem* marked = menu->IsLabelFromMarked() ? menu->FindMarked() : NULL;
		label = marked != NULL ? marked->Label() : menu->Name();
	}
	fLabel = CopyLabel(label);
}

BMenuItem::~BMenuItem()
{
	if (fMenu != NULL)
		fMenu->RemoveItem(this);
	if (fSubmenu != NULL) {
		fSubmenu->fSuperitem = NULL;
		delete fSubmenu;
	}
	free(fLabel);
}

void
BMenuItem::SetLabel(const char* label)
{
	if (label != NULL && strcmp(label, fLabel) == 0)
		return;
	free(fLabel);
	fLabel = CopyLabel(label);
	if (fMenu != NULL)
		fMenu->InvalidateLayout();
}

void
BMenuItem::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	if (fSubmenu != NULL)
		fSubmenu->SetEnabled(enabled);
	if (fMenu != NULL)
		fMenu->_InvalidateItem(this);
}

void
BMenuItem::SetMarked(bool marked)
{
	if (marked && fMenu != NULL && fMenu->IsRadioMode()) {
		for (int32 i = 0; BMenuItem* other = fMenu->ItemAt(i); i++) {
			if (other != this && other->IsMarked())
				other->SetMarked(false);
		}
	}
	bool changed = marked != fMarked;
	fMarked = marked;
	if (marked && fMenu != NULL && fMenu->IsLabelFromMarked() && fMenu->Superitem() != NULL)
		fMenu->Superitem()->SetLabel(Label());
	if (changed && fMenu != NULL)
		fMenu->_InvalidateItem(this);
}

void
BMenuItem::SetTrigger(char trigger)
{
	fTrigger = trigger;
}

void
BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = modifiers;
	if (fMenu != NULL)
		fMenu->InvalidateLayout();
}

const char*
BMenuItem::Label() const
{
	return fLabel;
}

bool
BMenuItem::IsEnabled() const
{
	if (fMenu != NULL && !fMenu->IsEnabled())
		return false;
	return fEnabled;
}

bool
BMenuItem::IsMarked() const
{
	return fMarked;
}

char
BMenuItem::Trigger() const
{
	return fTrigger;
}

char
BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != NULL)
		*modifiers = fModifiers;
	return fShortcut;
}

BMenu*
BMenuItem::Submenu() const
{
	return fSubmenu;
}

BMenu*
BMenuItem::Menu() const
{
	return fMenu;
}

BRect
BMenuItem::Frame() const
{
	return fBounds;
}

status_t
BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_ERROR;
	if (fMenu != NULL && fMenu->IsRadioMode())
		SetMarked(true);
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;
	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("index", fMenu != NULL ? fMenu->IndexOf(this) : -1);
	if (!IsTargetLocal() && fMenu != NULL) {
		// Without a target, the window the menu belongs to receives it.
		BWindow* window = fMenu->_DefaultTargetWindow();
		if (window == NULL)
			return B_BAD_PORT_ID;
		return window->PostMessage(&copy);
	}
	return BInvoker::Invoke(&copy);
}

void
BMenuItem::GetContentSize(float* width, float* height)
{
	BFont font;
	if (fMenu != NULL)
		fMenu->GetFont(&font);
	font_height fontHeight;
	font.GetHeight(&fontHeight);
	if (width != NULL)
		*width = ceilf(font.StringWidth(fLabel));
	if (height != NULL)
		*height = ceilf(fontHeight.ascent + fontHeight.descent + fontHeight.leading);
}

void
BMenuItem::TruncateLabel(float maxWidth, char* newLabel)
{
	if (newLabel == NULL)
		return;
	BFont font;
	if (fMenu != NULL)
		fMenu->GetFont(&font);
	BString truncated(fLabel);
	font.TruncateString(&truncated, B_TRUNCATE_END, maxWidth);
	strcpy(newLabel, truncated.String());
}

void
BMenuItem::DrawContent()
{
	if (fMenu == NULL)
		return;
	font_height fontHeight;
	fMenu->GetFontHeight(&fontHeight);
	BPoint where = ContentLocation();
	where.y += ceilf(fontHeight.ascent);
	float left;
	float right;
	fMenu->GetItemMargins(&left, NULL, &right, NULL);
	float available = fBounds.Width() - left - right + 1;
	if (fMenu->StringWidth(fLabel) > available && available > 0) {
		char* truncated = (char*)malloc(strlen(fLabel) + 4);
		TruncateLabel(available, truncated);
		fMenu->DrawString(truncated, where);
		free(truncated);
	} else {
		fMenu->DrawString(fLabel, where);
	}
}

void
BMenuItem::Draw()
{
	if (fMenu == NULL)
		return;
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	bool enabled = IsEnabled();
	bool selected = fSelected && enabled;
	if (selected) {
		fMenu->SetHighColor(ui_color(B_MENU_SELECTION_BACKGROUND_COLOR));
		fMenu->FillRect(fBounds);
	}
	fMenu->SetLowColor(selected ? ui_color(B_MENU_SELECTION_BACKGROUND_COLOR) : background);
	rgb_color text = ui_color(selected ? B_MENU_SELECTED_ITEM_TEXT_COLOR : B_MENU_ITEM_TEXT_COLOR);
	if (!enabled)
		text = tint_color(background, B_DISABLED_LABEL_TINT);
	fMenu->SetHighColor(text);
	if (fMarked)
		_DrawMark();
	fMenu->SetHighColor(text);
	DrawContent();

	if (fSubmenu != NULL && fMenu->Layout() == B_ITEMS_IN_COLUMN) {
		// A small arrow at the right for a submenu.
		float x = fBounds.right - 8;
		float y = floorf((fBounds.top + fBounds.bottom) / 2);
		fMenu->FillTriangle(BPoint(x, y - 3), BPoint(x + 3, y), BPoint(x, y + 3));
	} else if (fShortcut != 0 && fMenu->Layout() == B_ITEMS_IN_COLUMN) {
		font_height fontHeight;
		fMenu->GetFontHeight(&fontHeight);
		char shortcut[2] = {fShortcut, '\0'};
		float x = fBounds.right - 6 - fMenu->StringWidth(shortcut);
		fMenu->DrawString(shortcut, BPoint(x, ContentLocation().y + ceilf(fontHeight.ascent)));
	}
}

void
BMenuItem::Highlight(bool highlighted)
{
	fSelected = highlighted;
	if (fMenu != NULL)
		fMenu->_InvalidateItem(this);
}

bool
BMenuItem::IsSelected() const
{
	return fSelected;
}

BPoint
BMenuItem::ContentLocation() const
{
	float left = 0;
	float top = 0;
	if (fMenu != NULL)
		fMenu->GetItemMargins(&left, &top, NULL, NULL);
	return BPoint(fBounds.left + left, fBounds.top + top);
}

void
BMenuItem::_DrawMark()
{
	// A tick in the left margin, two pixels thick.
	font_height fontHeight;
	fMenu->GetFontHeight(&fontHeight);
	float baseline = ContentLocation().y + ceilf(fontHeight.ascent);
	float x = fBounds.left + 3;
	BPoint start(x, baseline - 4);
	BPoint corner(x + 3, baseline - 1);
	BPoint end(x + 8, baseline - 8);
	fMenu->StrokeLine(start, corner);
	fMenu->StrokeLine(corner, end);
	fMenu->StrokeLine(start + BPoint(0, 1), corner + BPoint(0, 1));
	fMenu->StrokeLine(corner + BPoint(0, 1), end + BPoint(0, 1));
}
