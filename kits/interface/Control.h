/*
 * BControl: a view with a label, an integer value and an enabled state that sends its
 * message when invoked. Scripting, archiving and the notification of watchers are not
 * provided.
 */
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <Message.h>
#include <View.h>

enum {
	B_CONTROL_OFF = 0,
	B_CONTROL_ON = 1
};

class BControl : public BView, public BInvoker {
public:
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode, uint32 flags);
	virtual ~BControl();

	virtual void WindowActivated(bool active) override;
	// Takes the parent's view colour, and the window as target when there is none.
	virtual void AttachedToWindow() override;
	virtual void MessageReceived(BMessage* message) override;
	virtual void MakeFocus(bool focus = true) override;
	virtual void KeyDown(const char* bytes, int32 numBytes) override;
	virtual void MouseDown(BPoint where) override;
	virtual void MouseUp(BPoint where) override;
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	virtual void DetachedFromWindow() override;

	virtual void SetLabel(const char* label);
	const char* Label() const;

	virtual void SetValue(int32 value);
	int32 Value() const;

	// A disabled control is drawn greyed, takes no input and is skipped by keyboard
	// navigation (it gives up B_NAVIGABLE until it is enabled again).
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual void GetPreferredSize(float* width, float* height) override;
	virtual void ResizeToPreferred() override;

	// Sends a copy of the message with "when" and "source" added; B_BAD_VALUE without one.
	virtual status_t Invoke(BMessage* message = NULL) override;

	virtual void AllAttached() override;
	virtual void AllDetached() override;

protected:
	bool IsFocusChanging() const;
	bool IsTracking() const;
	void SetTracking(bool tracking);
	void SetValueNoUpdate(int32 value);

private:
	char* fLabel;
	int32 fValue;
	bool fEnabled;
	bool fFocusChanging;
	bool fTracking;
	bool fWantsNavigation;
};

#endif // _CONTROL_H
