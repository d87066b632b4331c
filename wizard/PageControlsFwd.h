#pragma once

// The controls and wrappers the wizard pages are built of, declared for the
// headers that only hold pointers to them (the page classes and the control
// kit PageControls.h). A source file that uses one includes its own header.
class CComboBox;
class COptionButton;
class CTextDigitSpin;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class UpDownControl;
