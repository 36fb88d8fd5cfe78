object F: TForm
  BorderStyle = bsNone
  ClientWidth = 300
  ClientHeight = 200
  object pc: TkxSkinPageControl
    Width = 200
    Height = 100
    TabPosition = tpBottom
    ShowCloseButtons = True
    MouseWheelSupport = True
    TabWidth = 50
    TabsInCenter = True
    DefaultItemHeight = 24
    object p1: TkxSkinTabSheet
      Caption = 'One'
    end
    object p2: TkxSkinTabSheet
      Caption = 'Two'
    end
  end
end
