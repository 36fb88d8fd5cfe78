object Form1: TForm
  object kxSkinData1: TkxSkinData
  end
  object r1: TkxSkinCheckRadioBox
    Width = 120
    Caption = '关机'
    Radio = True
    GroupIndex = 1
    SkinData = kxSkinData1
    SkinDataName = 'radiobox'
    Checked = True
  end
  object r2: TkxSkinCheckRadioBox
    Radio = True
    GroupIndex = 1
    Checked = True
  end
  object c: TkxSkinCheckRadioBox
    AllowGrayed = True
    State = cbGrayed
    Flat = False
    WordWrap = True
    ImageIndex = 2
    UseSkinFontColor = False
    CanFocused = False
  end
end
