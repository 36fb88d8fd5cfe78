object F: TForm
  BorderStyle = bsNone
  object U: TkxSkinUpDown
    Left = 5
    Top = 6
    Width = 40
    Height = 20
    UseSkinSize = False
    Orientation = udVertical
    Increment = 7
    Position = 150
    Min = 100
    Max = 200
    SkinDataName = 'vupdown'
    OnChange = UDChange
  end
end
