object Main: TForm
  object sd: TkxSkinData
  end
  object ok: TkxSkinButton
    Left = 4
    Top = 5
    Caption = '确定'
    SkinData = sd
    SkinDataName = 'resizebutton'
    Default = True
    Cancel = True
    ModalResult = mrOk
    RepeatMode = True
    RepeatInterval = 70
    Margin = 3
    Spacing = 4
    Layout = blGlyphTop
    NumGlyphs = 2
    UseSkinSize = False
    OnClick = OkClick
  end
  object tb: TkxSkinSpeedButton
    SkinData = sd
    Flat = True
    GroupIndex = 3
    Down = True
    AllowAllUp = True
    ShowCaption = False
    OnClick = OkClick
  end
end
