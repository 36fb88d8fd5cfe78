object F: TForm
  object p: TkxSkinPanel
    Caption = '预设'
    CaptionMode = True
    CheckedMode = True
    RollUpMode = True
    BorderStyle = bvLowered
    DefaultAlignment = taCenter
    DefaultCaptionHeight = 20
    ImagePosition = kxipLeft
    NumGlyphs = 2
    Spacing = 4
    SkinDataName = 'groupbox'
  end
  object t: TkxSkinToolBar
    Align = alTop
    Height = 59
    CanScroll = True
    HotScroll = True
    ScrollOffset = 30
    ScrollTimerInterval = 40
    ShowCaptions = True
    Flat = True
    SkinDataName = 'resizetoolpanel'
  end
  object s: TkxSkinStatusBar
    SizeGrip = True
  end
  object g: TkxSkinGroupBox
  end
  object pp: TkxSkinPaintPanel
    TransparentMode = True
  end
end
