object F: TForm
  Tag = 1.5e3
  Items.Strings = (
    'a'
    'b')
  Collection = <
    item
      Value = 1
    end>
  Hint = 'a'#13#10'b'
  Value = 1e9223372036854775807
end
