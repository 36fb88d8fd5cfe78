object Main: TForm
  object sd: TkxSkinData
  end
  object box: TkxSkinCustomControl
    Left = 4
    Top = 5
    Width = 60
    Height = 30
    SkinData = sd
    SkinDataName = 'panel'
    HintTitle = '提示'
    HintImageIndex = 3
    DefaultWidth = 70
    UseSkinFont = False
    DefaultFont.Name = 'Tahoma'
  end
  object gbox: TkxGraphicSkinCustomControl
    SkinData = sd
    SkinDataName = 'button'
    DefaultHeight = 25
  end
end
