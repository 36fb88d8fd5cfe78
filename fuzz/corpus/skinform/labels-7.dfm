object Form1: TForm
  object kxSkinData1: TkxSkinData
  end
  object l: TkxSkinStdLabel
    Caption = 'std'
    EllipsType = kxetPathEllips
    SkinData = kxSkinData1
    UseSkinColor = False
  end
  object t: TkxSkinTextLabel
    Lines.Strings = ('one' 'two')
    Alignment = taCenter
    Layout = tlBottom
    SkinDataName = 'label'
  end
  object k: TkxSkinLinkLabel
    URL = 'http://example.org/'
    GlowEffect = True
    GlowSize = 6
    DefaultActiveFontColor = clRed
  end
end
